// SPDX-License-Identifier: MIT
#include "agent.h"

#include "app/app_delegate.h"
#include "application_choices.h"
#include "bad_file_notices.h"
#include "bundle_property_lists.h"
#include "editor/rule_table.h"
#include "english_texts.h"
#include "framework_input_sources.h"
#include "input_method_frameworks.h"
#include "missing_layout_notes.h"
#include "program_views.h"
#include "qt/log_categories.h"
#include "qt/qt_application.h"
#include "qt/qt_child_process.h"
#include "qt/qt_images.h"
#include "qt/qt_popover.h"
#include "qt/qt_run_loop.h"
#include "qt/qt_translations.h"
#include "qt/url_opener.h"
#include "qt_messages.h"
#include "settings_file_alerts.h"
#include "signal_pipe.h"
#include "store/plist_file_defaults.h"
#include "x11/application_identities.h"
#include "x11/chrome_browsers.h"
#include "x11/installed_applications.h"
#include "x11/key_positions.h"
#include "x11/single_instance.h"
#include "x11/x11_connection.h"
#include "x11/x11_cursor.h"
#include "x11/x11_distributed_notifications.h"
#include "x11/x11_event_monitor.h"
#include "x11/x11_hot_key_center.h"
#include "x11/x11_screens.h"
#include "x11/x11_tray_watch.h"
#include "x11/x11_window_list.h"
#include "x11/x11_workspace.h"
#include "x11/xkb_input_sources.h"
#include "xdg/autostart_folder.h"
#include "xdg/xdg_autostart_login_items.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QSocketNotifier>

#include <cmath>
#include <csignal>
#include <iostream>

namespace velmora::program {

namespace {

// Qt and Xlib end the process with exit() when their own connection to the display breaks,
// which can happen before our connection reports the loss. exit() destroys objects of static
// storage duration only, and the store's destructor writes what is pending: so the store lives
// here, not on the stack of runAgent. Its lines about bad files go to the user as well (the
// notices outlive the store, which may report as it goes).
struct StoreAndNotices {
    BadFileNotices notices;
    PlistFileDefaults store{defaultSettingsFilePath(), PlistFileDefaults::Access::ReadWrite,
                            [this](const std::string& line) { notices.add(line); }};
};

StoreAndNotices& settingsStore() {
    static StoreAndNotices storeAndNotices;
    return storeAndNotices;
}

} // namespace

int runAgent(int argc, char** argv, bool startedAtLogin) {
    installQtMessageHandler();
    // Our own connection comes first: it tells why a display cannot be reached, where Qt would
    // only abort.
    std::string error;
    auto connection = x11::X11Connection::open("", &error);
    if (!connection) {
        qCCritical(qt::logAgent, "%s", error.c_str());
        return 2;
    }
    x11::SingleInstance instance(*connection);
    if (instance.claim() == x11::SingleInstance::Outcome::AlreadyRunning) {
        // A login that starts the agent where it runs already (a second autostart entry, a
        // session restored) must not put its settings in front of the user.
        if (startedAtLogin)
            return 0;
        // Opening the program again shows the running one's settings.
        const bool asked = instance.askToReopen();
        std::cout << "velmora: already running on display " << connection->displayName()
                  << (asked ? "; asked it to show its settings" : "") << '\n';
        return 0;
    }

    std::signal(SIGPIPE, SIG_IGN); // a broken connection is reported, not fatal
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // Our windows' WM_CLASS class: how other programs tell that a window is the agent's.
    QApplication::setApplicationName(kOwnBundleIdentifier);
    QApplication::setApplicationDisplayName(kOwnDisplayName);
    // The windows, menus and notifications in the user's language.
    qt::installTranslations();

    qt::QtApplicationInfo info(
        std::map<std::string, std::string>{{kShortVersionKey, VELMORA_VERSION},
                                           {kVelmoraReviewURLKey, VELMORA_REVIEW_PAGE},
                                           {kVelmoraSupportURLKey, VELMORA_SUPPORT_PAGE},
                                           {kVelmoraVideoURLKey, VELMORA_VIDEO_PAGE}},
        qt::logAgent, englishTextsOfOwnKeys());
    // The autostart entry's start keeps the settings closed: at login they would be in the way.
    info.setStartedWithSession(startedAtLogin);
    // The X11 services' lines go to their own category.
    qt::QtApplicationInfo x11Log({}, qt::logX11);
    PlistFileDefaults& store = settingsStore().store;
    qt::QtRunLoop runLoop;
    // A bad settings file found at start (the lines wait until now) or later is said where a
    // user sees it.
    SettingsFileAlerts settingsFileAlerts;
    BadFileNotices& badFileNotices = settingsStore().notices;
    auto showBadFileNotices = [&] {
        for (const std::string& line : badFileNotices.take())
            settingsFileAlerts.show(line);
    };
    badFileNotices.setWake([&] { runLoop.dispatchAsyncMain(showBadFileNotices); });

    SignalPipe signalPipe;
    QSocketNotifier signalNotifier(signalPipe.readDescriptor(), QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, [&] {
        signalPipe.takeSignal();
        store.synchronize();
        QApplication::exit(0);
    });

    // The display's events reach the services on the main thread. When the server goes away
    // and this connection hears of it first, everything is saved at once; otherwise Qt ends the
    // process with its own message, and the store is saved on the way out (settingsStore).
    connection->setWakeMainThread([&runLoop] { runLoop.dispatchAsyncMain([] {}); });
    connection->setConnectionLostHandler([&] {
        info.log("lost the connection to the X display " + connection->displayName() +
                 "; settings saved, exiting");
        store.synchronize();
        QApplication::exit(1);
    });
    QSocketNotifier displayNotifier(connection->fileDescriptor(), QSocketNotifier::Read);
    QObject::connect(&displayNotifier, &QSocketNotifier::activated, [&] { connection->pump(); });
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     [&] { connection->dispatchQueued(); });

    x11::ApplicationIdentities identities(*connection);
    x11::X11DesktopBroadcasts distributed;
    x11::XkbInputSources xkbInputSources(*connection, distributed, x11Log);
    // While an input-method framework runs, its input sources are the ones rules select.
    InputMethodFrameworks frameworks = makeInputMethodFrameworks(
        [&distributed](DesktopBroadcast broadcast) { distributed.post(broadcast); },
        qt::infoLog(qt::logAgent));
    FrameworkInputSources frameworkInputSources(
        xkbInputSources, frameworks.inOrder(),
        [&distributed](DesktopBroadcast broadcast) { distributed.post(broadcast); },
        qt::infoLog(qt::logAgent));
    MissingLayoutNotes inputSources(frameworkInputSources, info);
    qt::QtImages images(qt::infoLog(qt::logQt));
    x11::InstalledApplications installed(images);
    // Windows' own icons are taken at the size the rule table draws them on this screen.
    x11::WindowIcons windowIcons(
        *connection, images,
        static_cast<std::uint32_t>(
            std::lround(RuleTable::kIconFrame.size.width * application.devicePixelRatio())));
    x11::X11Workspace workspace(*connection, identities, x11Log, &installed, &windowIcons);
    workspace.setURLOpener(
        [](const std::string& url) { return qt::openURLWithDesktop(url, qt::infoLog(qt::logQt)); });
    x11::X11WindowList windowList(*connection, identities);
    x11::X11Screens screens(*connection, workspace);
    x11::X11EventMonitor eventMonitor(*connection, qt::infoLog(qt::logX11));
    x11::X11Cursor cursor(*connection, qt::infoLog(qt::logX11));
    qt::QtChildProcess childProcess;
    ProgramViews views(*connection, qt::infoLog(qt::logQt));
    // The status item shows once a tray comes; the server tells when, so nothing polls.
    x11::X11TrayWatch trayWatch(*connection,
                                [&views](bool present) { views.systemTrayChanged(present); });
    if (trayWatch.watching())
        views.announceSystemTrayChanges();
    BundlePropertyLists bundleFiles;
    // The add button offers the applications running and installed, as desktops' choosers do.
    // Their icons are the rule table's: the desktop file's from the theme, else the window's.
    views.setApplicationChoices(
        [&workspace] { return currentApplicationChoices(workspace); },
        [&workspace](const qt::ApplicationChoice& choice) {
            auto icon = std::dynamic_pointer_cast<qt::QtImage>(workspace.iconForFile(choice.path));
            return icon ? QIcon(QPixmap::fromImage(icon->image())) : QIcon();
        });
    Platform platform{store,      inputSources, workspace, distributed, eventMonitor,
                      windowList, screens,      cursor,    runLoop,     childProcess,
                      images,     info,         views,     &bundleFiles};
    // Declared before the delegate, so that the grabs outlive every hotkey it registers.
    x11::X11GlobalShortcuts hotKeyCenter(*connection, runLoop, qt::infoLog(qt::logX11));
    platform.hotKeyCenter = &hotKeyCenter;
    platform.chromeBrowsers = x11::chromeBrowsers();
    // The first key typed after an activation must already be in the rule's layout. A rule for a
    // layout that the keymap lacks shows its layout's name, and a new keymap gets the front
    // application's layout back; there is no Alfred on Linux, and a store page only when the build
    // names one. The indicator keeps clear of the screen's corner as tray pop-ups do.
    platform.facts = DesktopFacts{.activationSelection = ActivationSelection::AtOnceWithGuard,
                                  .namesUnavailableRuleSources = true,
                                  .reappliesRuleOnLayoutChange = true,
                                  .hasAlfred = false,
                                  .hasStorePage = VELMORA_HAS_STORE_PAGE != 0,
                                  .indicatorStartMargin = 8,
                                  .versionSeparator = ": "};
    // Recorders store the key's position and name it as the keyboard does.
    views.setKeyTranslation(qt::KeyTranslation{
        .storedKeyCode =
            [&hotKeyCenter](std::uint32_t x11Keycode) {
                return hotKeyCenter.keyCodeOfX11Keycode(x11Keycode);
            },
        .label =
            [](std::int64_t keyCode) {
                const x11::KeyPosition* position = x11::keyPositionOfKeyCode(keyCode);
                return position ? std::string(position->label) : std::string();
            },
    });
    // Start at login: an entry in the user's autostart folder under the program's desktop id.
    // Its Exec has the option that keeps the settings closed at login; an entry written before
    // the option existed gets it.
    xdg::XdgAutostartLoginItems autostart(xdg::defaultAutostartFolder(), kOwnBundleIdentifier,
                                          qt::infoLog(qt::logXdg), kStartedAtLoginOption);
    platform.loginItems = &autostart;
    if (Settings(store).boolForKey(keys::kAutoStartAtLogin) && autostart.bringEntryUpToDate())
        info.log(std::string("the autostart entry now starts velmora with ") +
                 kStartedAtLoginOption);

    int status = 0;
    {
        AppDelegate delegate(platform);
        // A press in the popover is where its controller re-checks its remove button.
        views.setPopoverMouseDownObserver([&delegate] {
            if (PopoverViewController* controller = delegate.popoverViewController())
                controller->mouseDown();
        });
        instance.setReopenHandler([&delegate, &views] {
            auto popover = views.popover();
            delegate.applicationShouldHandleReopen(popover && popover->isShown());
        });
        delegate.applicationDidFinishLaunching();
        // Without a tray nothing else would ever show the settings; at login they wait until
        // the user asks (velmora started again).
        if (!startedAtLogin && !views.hasSystemTray() &&
            !(views.popover() && views.popover()->isShown()))
            delegate.showPopover();
        connection->flush();
        showBadFileNotices();
        info.log("running on display " + connection->displayName() + ", settings in " +
                 store.path());
        status = QApplication::exec();
        // A check still running on the global queue uses the delegate and the services: it
        // ends here, and what it hands back to the main thread is dropped.
        runLoop.drain();
        badFileNotices.setWake(nullptr); // later lines go to standard error alone
        delegate.applicationWillTerminate();
        instance.setReopenHandler(nullptr);
        views.setPopoverMouseDownObserver(nullptr);
    }
    views.setKeyTranslation({}); // the hotkey centre goes first
    store.synchronize();
    return status;
}

} // namespace velmora::program
