// SPDX-License-Identifier: MIT
#include "x11_desktop.h"

#include "agent.h"
#include "application_choices.h"
#include "editor/rule_table.h"
#include "english_texts.h"
#include "linux_desktop_facts.h"
#include "qt/log_categories.h"
#include "qt/url_opener.h"
#include "x11/chrome_browsers.h"
#include "x11/key_positions.h"
#include "xdg/autostart_folder.h"

#include <QAbstractEventDispatcher>
#include <QApplication>

#include <cmath>
#include <map>

namespace velmora::program {

X11Desktop::X11Desktop(x11::X11Connection& connection, PlistFileDefaults& store,
                       bool startedAtLogin, double devicePixelRatio)
    : connection_(connection), store_(store), x11Log_(qt::infoLog(qt::logX11)),
      info_(std::map<std::string, std::string>{{kShortVersionKey, VELMORA_VERSION},
                                               {kVelmoraReviewURLKey, VELMORA_REVIEW_PAGE},
                                               {kVelmoraSupportURLKey, VELMORA_SUPPORT_PAGE},
                                               {kVelmoraVideoURLKey, VELMORA_VIDEO_PAGE}},
            qt::logAgent, englishTextsOfOwnKeys()),
      displayNotifier_(wireDisplay(), QSocketNotifier::Read), identities_(connection),
      xkbInputSources_(connection, distributed_, x11Log_),
      frameworks_(makeInputMethodFrameworks(
          [this](DesktopBroadcast broadcast) { distributed_.post(broadcast); },
          qt::infoLog(qt::logAgent))),
      frameworkInputSources_(
          xkbInputSources_, frameworks_.inOrder(),
          [this](DesktopBroadcast broadcast) { distributed_.post(broadcast); },
          qt::infoLog(qt::logAgent)),
      inputSources_(frameworkInputSources_, info_), images_(qt::infoLog(qt::logQt)),
      installed_(images_),
      // Windows' own icons are taken at the size the rule table draws them on this screen.
      windowIcons_(connection, images_,
                   static_cast<std::uint32_t>(
                       std::lround(RuleTable::kIconFrame.size.width * devicePixelRatio))),
      workspace_(connection, identities_, x11Log_, &installed_, &windowIcons_),
      windowList_(connection, identities_), screens_(connection, workspace_),
      eventMonitor_(connection, x11Log_), cursor_(connection, x11Log_),
      views_(&connection, qt::infoLog(qt::logQt)),
      // The status item shows once a tray comes; the server tells when, so nothing polls.
      trayWatch_(connection, [this](bool present) { views_.systemTrayChanged(present); }),
      hotKeyCenter_(connection, runLoop_, x11Log_),
      // Start at login: an entry in the user's autostart folder under the program's desktop
      // id. Its Exec has the option that keeps the settings closed at login.
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
    // The autostart entry's start keeps the settings closed: at login they would be in the way.
    info_.setStartedWithSession(startedAtLogin);
    QObject::connect(&displayNotifier_, &QSocketNotifier::activated,
                     [this] { connection_.pump(); });
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &displayNotifier_, [this] { connection_.dispatchQueued(); });
    workspace_.setURLOpener(
        [](const std::string& url) { return qt::openURLWithDesktop(url, qt::infoLog(qt::logQt)); });
    // A framework that selects for the input context it has focused hears of each new front
    // application before the agent's own observers select for it.
    for (const char* moved :
         {kApplicationActivatedNotification, kApplicationUnhiddenNotification,
          kLauncherPanelDidOpenNotification, kLauncherPanelDidCloseNotification})
        workspace_.addObserver(moved, [this](const WorkspaceNotification&) {
            frameworkInputSources_.frontApplicationChanged();
        });
    if (trayWatch_.watching())
        views_.announceSystemTrayChanges();
    // The add button offers the applications running and installed, as desktops' choosers do.
    // Their icons are the rule table's: the desktop file's from the theme, else the window's.
    views_.setApplicationChoices(
        [this] { return currentApplicationChoices(workspace_); },
        [this](const qt::ApplicationChoice& choice) {
            auto icon = std::dynamic_pointer_cast<qt::QtImage>(workspace_.iconForFile(choice.path));
            return icon ? QIcon(QPixmap::fromImage(icon->image())) : QIcon();
        });
    // Recorders store the key's position and name it as the keyboard does.
    views_.setKeyTranslation(qt::KeyTranslation{
        .storedKeyCode =
            [this](std::uint32_t x11Keycode) {
                return hotKeyCenter_.keyCodeOfX11Keycode(x11Keycode);
            },
        .label =
            [](std::int64_t keyCode) {
                const x11::KeyPosition* position = x11::keyPositionOfKeyCode(keyCode);
                return position ? std::string(position->label) : std::string();
            },
    });
    // An entry written before the option existed gets it.
    if (Settings(store).boolForKey(keys::kAutoStartAtLogin) && autostart_.bringEntryUpToDate())
        info_.log(std::string("the autostart entry now starts velmora with ") +
                  kStartedAtLoginOption);
}

X11Desktop::~X11Desktop() {
    views_.setKeyTranslation({}); // the hotkey centre goes first
}

int X11Desktop::wireDisplay() {
    // The display's events reach the services on the main thread. When the server goes away
    // and this connection hears of it first, everything is saved at once; otherwise Qt ends
    // the process with its own message, and the store is saved on the way out (the agent keeps
    // it static for that).
    connection_.setWakeMainThread([this] { runLoop_.dispatchAsyncMain([] {}); });
    connection_.setConnectionLostHandler([this] {
        info_.log("lost the connection to the X display " + connection_.displayName() +
                  "; settings saved, exiting");
        store_.synchronize();
        QApplication::exit(1);
    });
    return connection_.fileDescriptor();
}

} // namespace velmora::program
