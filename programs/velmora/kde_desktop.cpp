// SPDX-License-Identifier: MIT
#include "kde_desktop.h"

#include "layer_shell_indicator.h"
#include "qt/log_categories.h"
#include "x11/key_positions.h"
#include "x11/stored_key_combo.h"
#include "xkb_registry_layouts.h"

#include <QApplication>
#include <QDBusConnection>
#include <QKeySequence>
#include <QStandardPaths>

namespace velmora::program {

namespace {

// KDE's global shortcuts take Qt's keys: the key the stored position is labelled with (as the
// X11 backend names it) and Qt's modifiers, Command being the Super (Meta) key.
std::optional<int> qtKeyOfCombo(const PlistValue& value, std::string* problem) {
    const x11::KeyComboReading reading = x11::readStoredKeyCombo(value);
    if (!reading.combo) {
        *problem = reading.problem;
        return std::nullopt;
    }
    const x11::KeyPosition* position = x11::keyPositionOfKeyCode(reading.combo->keyCode);
    const QKeySequence key =
        position ? QKeySequence::fromString(
                       QString::fromUtf8(position->label.data(), qsizetype(position->label.size())),
                       QKeySequence::PortableText)
                 : QKeySequence();
    if (key.count() != 1) {
        *problem =
            "Qt has no key for the stored key code " + std::to_string(reading.combo->keyCode);
        return std::nullopt;
    }
    int combined = key[0].toCombined();
    for (const auto& [mask, modifier] :
         {std::pair{x11::kStoredCommandMask, Qt::META},
          std::pair{x11::kStoredControlMask, Qt::CTRL}, std::pair{x11::kStoredOptionMask, Qt::ALT},
          std::pair{x11::kStoredShiftMask, Qt::SHIFT}})
        if (reading.combo->modifierFlags & mask)
            combined |= int(modifier);
    return combined;
}

} // namespace

std::unique_ptr<KdeDesktop> KdeDesktop::connect(PlistFileDefaults& store, bool startedAtLogin,
                                                std::string* error) {
    if (!sessionBusAnswers("KDE", error))
        return nullptr;
    auto desktop = std::unique_ptr<KdeDesktop>(new KdeDesktop(store, startedAtLogin));
    if (!desktop->activations_.start(error))
        return nullptr;
    return desktop;
}

KdeDesktop::KdeDesktop(PlistFileDefaults& store, bool startedAtLogin)
    : store_(store), kdeLog_(qt::infoLog(qt::logKde)), basics_(startedAtLogin),
      layouts_(QDBusConnection::sessionBus(), xkbRegistryLayouts(), basics_.poster(), kdeLog_),
      sources_(layouts_, basics_),
      workspace_(
          [this](const kde::KWinWindow& window) {
              // KWin's desktop file name is what sway's app id is: the same lookup.
              return identities_.identify(
                  sway::WindowIdentity{window.desktopFile, window.resourceClass, window.pid});
          },
          basics_.installedLookup()),
      activations_(
          QDBusConnection::sessionBus(),
          QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/velmora",
          kde::KWinActivations::Handlers{
              .activated =
                  [this](const kde::KWinWindow& window) { workspace_.windowActivated(window); },
              .moved = [this](const kde::KWinWindow& window) { workspace_.windowMoved(window); },
              .closed = [this](const std::string& id) { workspace_.windowClosed(id); },
              .gone =
                  [this](const std::string& why) {
                      basics_.info.log(why + "; KWin is gone: settings saved, exiting");
                      store_.synchronize();
                      QApplication::exit(1);
                  },
          },
          kdeLog_),
      eventMonitor_("KDE", kdeLog_), shown_(nullptr, workspace_, basics_, store),
      trayWatch_(shown_.views), hotKeyCenter_(QDBusConnection::sessionBus(), qtKeyOfCombo, kdeLog_),
      platform_(sharedPlatform(
          store, basics_, sources_, shown_,
          {workspace_, eventMonitor_, windowList_, screens_, cursor_, &hotKeyCenter_})) {
    workspace_.setURLOpener(openURLOnDesktop);
    sources_.followFront(workspace_,
                         {kApplicationActivatedNotification, kApplicationUnhiddenNotification});
    // KWin offers layer surfaces (Plasma 5.20 and later); the script tells the front frame.
    shown_.views.setWaylandIndicator([this] {
        return layerShellIndicatorViews([this](const std::string& line) { basics_.info.log(line); },
                                        workspace_.frontFrame(),
                                        [this](FrontFrameObserver observer) {
                                            workspace_.setFrontFrameObserver(std::move(observer));
                                        });
    });
}

KdeDesktop::~KdeDesktop() = default;

} // namespace velmora::program
