// SPDX-License-Identifier: MIT
#include "kde_desktop.h"

#include "agent.h"
#include "application_choices.h"
#include "engine/settings.h"
#include "english_texts.h"
#include "linux_desktop_facts.h"
#include "qt/log_categories.h"
#include "qt/url_opener.h"
#include "x11/chrome_browsers.h"
#include "xdg/autostart_folder.h"
#include "xkb_registry_layouts.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QStandardPaths>

#include <map>

namespace velmora::program {

namespace {

constexpr const char* kStatusNotifierWatcher = "org.kde.StatusNotifierWatcher";

std::vector<kde::KnownLayout> registryLayouts() {
    std::vector<kde::KnownLayout> layouts;
    for (XkbLayoutInfo& layout : xkbRegistryLayouts())
        layouts.push_back(
            {std::move(layout.layout), std::move(layout.variant), std::move(layout.description)});
    return layouts;
}

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
    : store_(store), kdeLog_(qt::infoLog(qt::logKde)),
      info_(std::map<std::string, std::string>{{kShortVersionKey, VELMORA_VERSION},
                                               {kVelmoraReviewURLKey, VELMORA_REVIEW_PAGE},
                                               {kVelmoraSupportURLKey, VELMORA_SUPPORT_PAGE},
                                               {kVelmoraVideoURLKey, VELMORA_VIDEO_PAGE}},
            qt::logAgent, englishTextsOfOwnKeys()),
      layouts_(
          QDBusConnection::sessionBus(), registryLayouts(),
          [this](DesktopBroadcast broadcast) { distributed_.post(broadcast); }, kdeLog_),
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
          [this](const kde::KWinWindow& window) {
              // KWin's desktop file name is what sway's app id is: the same lookup.
              return identities_.identify(
                  sway::WindowIdentity{window.desktopFile, window.resourceClass, window.pid});
          },
          InstalledApplicationLookup{
              .applicationPath =
                  [this](const std::string& id) { return installed_.desktopFileForId(id); },
              .iconForFile =
                  [this](const std::string& path) { return installed_.iconForDesktopFile(path); },
              .displayNameAtPath =
                  [this](const std::string& path) {
                      return installed_.displayNameOfDesktopFile(path);
                  },
          }),
      activations_(
          QDBusConnection::sessionBus(),
          QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/velmora",
          kde::KWinActivations::Handlers{
              .activated =
                  [this](const kde::KWinWindow& window) { workspace_.windowActivated(window); },
              .closed = [this](const std::string& id) { workspace_.windowClosed(id); },
              .gone =
                  [this](const std::string& why) {
                      info_.log(why + "; KWin is gone: settings saved, exiting");
                      store_.synchronize();
                      QApplication::exit(1);
                  },
          },
          kdeLog_),
      eventMonitor_("KDE", kdeLog_), views_(nullptr, qt::infoLog(qt::logQt)),
      trayWatch_(kStatusNotifierWatcher, QDBusConnection::sessionBus(),
                 QDBusServiceWatcher::WatchForRegistration |
                     QDBusServiceWatcher::WatchForUnregistration),
      hotKeyCenter_(ownedOnSessionBus("org.kde.kglobalaccel"), kdeLog_),
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
    workspace_.setURLOpener(
        [](const std::string& url) { return qt::openURLWithDesktop(url, qt::infoLog(qt::logQt)); });
    for (const char* moved : {kApplicationActivatedNotification, kApplicationUnhiddenNotification})
        workspace_.addObserver(moved, [this](const WorkspaceNotification&) {
            frameworkInputSources_.frontApplicationChanged();
        });
    // The tray comes and goes with Plasma's panel; the bus tells, so nothing polls.
    views_.announceSystemTrayChanges();
    QObject::connect(&trayWatch_, &QDBusServiceWatcher::serviceRegistered,
                     [this] { views_.systemTrayChanged(true); });
    QObject::connect(&trayWatch_, &QDBusServiceWatcher::serviceUnregistered,
                     [this] { views_.systemTrayChanged(false); });
    views_.setApplicationChoices(
        [this] { return currentApplicationChoices(workspace_); },
        [this](const qt::ApplicationChoice& choice) {
            auto icon = std::dynamic_pointer_cast<qt::QtImage>(workspace_.iconForFile(choice.path));
            return icon ? QIcon(QPixmap::fromImage(icon->image())) : QIcon();
        });
    if (Settings(store).boolForKey(keys::kAutoStartAtLogin) && autostart_.bringEntryUpToDate())
        info_.log(std::string("the autostart entry now starts velmora with ") +
                  kStartedAtLoginOption);
}

KdeDesktop::~KdeDesktop() = default;

} // namespace velmora::program
