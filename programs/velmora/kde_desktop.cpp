// SPDX-License-Identifier: MIT
#include "kde_desktop.h"

#include "qt/log_categories.h"
#include "xkb_registry_layouts.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QStandardPaths>

namespace velmora::program {

namespace {

// Whether NAME has an owner on the session bus; bounded by the bus's own answer.
bool ownedOnSessionBus(const char* name) {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    return bus && bus->isServiceRegistered(QString::fromLatin1(name)).value();
}

} // namespace

std::unique_ptr<KdeDesktop> KdeDesktop::connect(PlistFileDefaults& store, bool startedAtLogin,
                                                std::string* error) {
    if (!QDBusConnection::sessionBus().isConnected()) {
        *error = "KDE: no session bus (" +
                 QDBusConnection::sessionBus().lastError().message().toStdString() + ")";
        return nullptr;
    }
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
      trayWatch_(shown_.views), hotKeyCenter_(ownedOnSessionBus("org.kde.kglobalaccel"), kdeLog_),
      platform_(sharedPlatform(
          store, basics_, sources_, shown_,
          {workspace_, eventMonitor_, windowList_, screens_, cursor_, &hotKeyCenter_})) {
    workspace_.setURLOpener(openURLOnDesktop);
    sources_.followFront(workspace_,
                         {kApplicationActivatedNotification, kApplicationUnhiddenNotification});
}

KdeDesktop::~KdeDesktop() = default;

} // namespace velmora::program
