// SPDX-License-Identifier: MIT
#include "sway_desktop.h"

#include "agent.h"
#include "application_choices.h"
#include "engine/settings.h"
#include "english_texts.h"
#include "linux_desktop_facts.h"
#include "qt/log_categories.h"
#include "qt/url_opener.h"
#include "x11/chrome_browsers.h"
#include "x11/key_positions.h"
#include "xdg/autostart_folder.h"
#include "xkb_registry_layouts.h"

#include <QApplication>
#include <QDBusConnection>

#include <map>

namespace velmora::program {

namespace {

constexpr const char* kStatusNotifierWatcher = "org.kde.StatusNotifierWatcher";

std::vector<sway::NamedLayout> registryLayouts() {
    std::vector<sway::NamedLayout> layouts;
    for (XkbLayoutInfo& layout : xkbRegistryLayouts())
        layouts.push_back(
            {std::move(layout.layout), std::move(layout.variant), std::move(layout.description)});
    return layouts;
}

} // namespace

std::unique_ptr<SwayDesktop> SwayDesktop::connect(const std::string& socket,
                                                  PlistFileDefaults& store, bool startedAtLogin,
                                                  std::string* error) {
    auto ipc = std::make_unique<sway::SwayIpc>(qt::infoLog(qt::logSway));
    if (!ipc->connectTo(socket, error))
        return nullptr;
    // What runs and which layouts the keyboards have, before anything asks.
    std::optional<QJsonDocument> tree = ipc->ask(sway::kGetTree, "");
    std::optional<QJsonDocument> inputs = ipc->ask(sway::kGetInputs, "");
    if (!tree || !inputs) {
        *error = "sway at " + socket + " did not tell its windows and keyboards";
        return nullptr;
    }
    auto desktop = std::unique_ptr<SwayDesktop>(
        new SwayDesktop(std::move(ipc), *tree, *inputs, store, startedAtLogin));
    desktop->ipc_->send(sway::kSubscribe, R"(["window","input","binding","shutdown"])",
                        [log = desktop->swayLog_](const QJsonDocument& reply) {
                            if (!reply.object().value("success").toBool())
                                log("sway refused to tell of windows, keyboards and bindings");
                        });
    return desktop;
}

SwayDesktop::SwayDesktop(std::unique_ptr<sway::SwayIpc> ipc, const QJsonDocument& tree,
                         const QJsonDocument& inputs, PlistFileDefaults& store, bool startedAtLogin)
    : store_(store), swayLog_(qt::infoLog(qt::logSway)),
      info_(std::map<std::string, std::string>{{kShortVersionKey, VELMORA_VERSION},
                                               {kVelmoraReviewURLKey, VELMORA_REVIEW_PAGE},
                                               {kVelmoraSupportURLKey, VELMORA_SUPPORT_PAGE},
                                               {kVelmoraVideoURLKey, VELMORA_VIDEO_PAGE}},
            qt::logAgent, englishTextsOfOwnKeys()),
      ipc_(std::move(ipc)),
      layouts_(
          *ipc_, inputs, registryLayouts(),
          [this](DesktopBroadcast broadcast) { distributed_.post(broadcast); }, swayLog_),
      frameworks_(makeInputMethodFrameworks(
          [this](DesktopBroadcast broadcast) { distributed_.post(broadcast); },
          qt::infoLog(qt::logAgent))),
      frameworkInputSources_(
          layouts_, frameworks_.inOrder(),
          [this](DesktopBroadcast broadcast) { distributed_.post(broadcast); },
          qt::infoLog(qt::logAgent)),
      inputSources_(frameworkInputSources_, info_), images_(qt::infoLog(qt::logQt)),
      installed_(images_),
      workspace_(
          *ipc_, tree,
          [this](const sway::WindowIdentity& window) { return identities_.identify(window); },
          InstalledApplicationLookup{
              .applicationPath =
                  [this](const std::string& id) { return installed_.desktopFileForId(id); },
              .iconForFile =
                  [this](const std::string& path) { return installed_.iconForDesktopFile(path); },
              .displayNameAtPath =
                  [this](const std::string& path) {
                      return installed_.displayNameOfDesktopFile(path);
                  },
          },
          swayLog_),
      eventMonitor_("sway", swayLog_), views_(nullptr, qt::infoLog(qt::logQt)),
      trayWatch_(kStatusNotifierWatcher, QDBusConnection::sessionBus(),
                 QDBusServiceWatcher::WatchForRegistration |
                     QDBusServiceWatcher::WatchForUnregistration),
      hotKeyCenter_(
          *ipc_,
          [this](const PlistValue& combo, std::string* problem) {
              return keyCombos_.combination(combo, problem);
          },
          swayLog_),
      autostart_(xdg::defaultAutostartFolder(), kOwnBundleIdentifier, qt::infoLog(qt::logXdg),
                 kStartedAtLoginOption),
      platform_{.defaults = store,
                .inputSources = inputSources_,
                .workspace = workspace_,
                .distributedNotifications = distributed_,
                .eventMonitor = eventMonitor_,
                .windowList = windowList_,
                .screens = screens_,
                .cursor = cursor_,
                .runLoop = runLoop_,
                .childProcess = childProcess_,
                .images = images_,
                .application = info_,
                .views = views_,
                .applicationDescriptions = &applicationDescriptions_,
                .hotKeyCenter = &hotKeyCenter_,
                .loginItems = &autostart_,
                .chromeBrowsers = x11::chromeBrowsers(),
                .facts = kLinuxDesktopFacts} {
    info_.setStartedWithSession(startedAtLogin);
    ipc_->setGone([this](const std::string& why) {
        info_.log(why + "; sway is gone: settings saved, exiting");
        store_.synchronize();
        QApplication::exit(1);
    });
    workspace_.setURLOpener(
        [](const std::string& url) { return qt::openURLWithDesktop(url, qt::infoLog(qt::logQt)); });
    for (const char* moved : {kApplicationActivatedNotification, kApplicationUnhiddenNotification})
        workspace_.addObserver(moved, [this](const WorkspaceNotification&) {
            frameworkInputSources_.frontApplicationChanged();
        });
    // The tray comes and goes with a StatusNotifierItem host; the bus tells, so nothing polls.
    views_.announceSystemTrayChanges();
    QObject::connect(&trayWatch_, &QDBusServiceWatcher::serviceRegistered,
                     [this] { views_.systemTrayChanged(true); });
    QObject::connect(&trayWatch_, &QDBusServiceWatcher::serviceUnregistered,
                     [this] { views_.systemTrayChanged(false); });
    views_.setWaylandIndicator([this] { return makeIndicator(); });
    views_.setApplicationChoices(
        [this] { return currentApplicationChoices(workspace_); },
        [this](const qt::ApplicationChoice& choice) {
            auto icon = std::dynamic_pointer_cast<qt::QtImage>(workspace_.iconForFile(choice.path));
            return icon ? QIcon(QPixmap::fromImage(icon->image())) : QIcon();
        });
    views_.setKeyTranslation(qt::KeyTranslation{
        .storedKeyCode =
            [this](std::uint32_t nativeKeyCode) { return keyCombos_.storedKeyCode(nativeKeyCode); },
        .label =
            [](std::int64_t keyCode) {
                const x11::KeyPosition* position = x11::keyPositionOfKeyCode(keyCode);
                return position ? std::string(position->label) : std::string();
            },
    });
    if (Settings(store).boolForKey(keys::kAutoStartAtLogin) && autostart_.bringEntryUpToDate())
        info_.log(std::string("the autostart entry now starts velmora with ") +
                  kStartedAtLoginOption);
}

IndicatorViews SwayDesktop::makeIndicator() {
    std::string error;
    auto overlay = wayland::LayerShellOverlay::connect(qt::infoLog(qt::logQt), &error);
    if (!overlay) {
        info_.log(error + ": the floating indicator is off");
        return {};
    }
    auto indicator = std::make_shared<LayerShellIndicator>(std::move(overlay));
    if (std::optional<QRect> frame = workspace_.frontFrame())
        indicator->setFrontFrame(*frame);
    workspace_.setFrontFrameObserver(
        [indicator](const QRect& frame) { indicator->setFrontFrame(frame); });
    return indicator->views();
}

SwayDesktop::~SwayDesktop() {
    views_.setKeyTranslation({});
}

} // namespace velmora::program
