// SPDX-License-Identifier: MIT
#include "agent.h"

#include "app/app_delegate.h"
#include "bad_file_notices.h"
#include "desktop_choice.h"
#include "gnome_desktop.h"
#include "kde_desktop.h"
#include "qt/log_categories.h"
#include "qt/qt_popover.h"
#include "qt/qt_translations.h"
#include "qt_messages.h"
#include "settings_file_alerts.h"
#include "signal_pipe.h"
#include "socket_single_instance.h"
#include "store/plist_file_defaults.h"
#include "sway_desktop.h"
#include "x11/single_instance.h"
#include "x11/x11_connection.h"
#include "x11_desktop.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <iostream>

namespace velmora::program {

namespace {

// Qt on X11 and Xlib end the process with exit() when their connection to the display breaks,
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

// The application as other programs see it, in the user's language.
void nameApplication() {
    QApplication::setQuitOnLastWindowClosed(false);
    // Our windows' WM_CLASS class (on Wayland their app id): how other programs tell that a
    // window is the agent's.
    QApplication::setApplicationName(kOwnBundleIdentifier);
    QApplication::setApplicationDisplayName(kOwnDisplayName);
    qt::installTranslations();
}

// The application delegate on DESKTOP's platform, run until a signal, Quit or the desktop's
// loss ends the event loop. INSTANCE: the claim of this agent, asked to reopen by later ones.
// CONNECTION: the X display's, nullptr elsewhere.
template <class Desktop, class Instance>
int runDelegate(Desktop& desktop, bool startedAtLogin, Instance& instance,
                x11::X11Connection* connection, const std::string& where) {
    PlistFileDefaults& store = settingsStore().store;
    // A bad settings file found at start (the lines wait until now) or later is said where a
    // user sees it.
    SettingsFileAlerts settingsFileAlerts;
    BadFileNotices& badFileNotices = settingsStore().notices;
    auto showBadFileNotices = [&] {
        for (const std::string& line : badFileNotices.take())
            settingsFileAlerts.show(line);
    };
    SignalPipe signalPipe;
    QSocketNotifier signalNotifier(signalPipe.readDescriptor(), QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, [&] {
        signalPipe.takeSignal();
        store.synchronize();
        QApplication::exit(0);
    });
    // Qt on Wayland ends the process with _exit() when the compositor goes away, often before
    // the desktop's own connection tells: nothing is written then, so each change is written
    // at once.
    if (QGuiApplication::platformName() == QLatin1String("wayland"))
        store.setWriteDelay(std::chrono::milliseconds::zero());
    qt::QtRunLoop& runLoop = desktop.runLoop();
    ProgramViews& views = desktop.views();
    badFileNotices.setWake([&] { runLoop.dispatchAsyncMain(showBadFileNotices); });

    int status = 0;
    {
        AppDelegate delegate(desktop.platform());
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
        if (connection)
            connection->flush();
        showBadFileNotices();
        desktop.application().log("running on " + where + ", settings in " + store.path());
        status = QApplication::exec();
        // A check still running on the global queue uses the delegate and the services: it
        // ends here, and what it hands back to the main thread is dropped.
        runLoop.drain();
        badFileNotices.setWake(nullptr); // later lines go to standard error alone
        delegate.applicationWillTerminate();
        instance.setReopenHandler(nullptr);
        views.setPopoverMouseDownObserver(nullptr);
    }
    store.synchronize();
    return status;
}

int runOnX11(int argc, char** argv, bool startedAtLogin) {
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
    nameApplication();
    X11Desktop desktop(*connection, settingsStore().store, startedAtLogin,
                       application.devicePixelRatio());
    return runDelegate(desktop, startedAtLogin, instance, connection.get(),
                       "display " + connection->displayName());
}

int runOnSway(int argc, char** argv, bool startedAtLogin, const std::string& socket) {
    std::signal(SIGPIPE, SIG_IGN); // a broken connection is reported, not fatal
    QApplication application(argc, argv);
    nameApplication();
    SocketSingleInstance instance(socket);
    // At login another agent is left alone (see runOnX11).
    if (instance.claim(!startedAtLogin) == SocketSingleInstance::Outcome::AlreadyRunning) {
        if (!startedAtLogin)
            std::cout << "velmora: already running on sway; asked it to show its settings\n";
        return 0;
    }
    std::string error;
    auto desktop = SwayDesktop::connect(socket, settingsStore().store, startedAtLogin, &error);
    if (!desktop) {
        qCCritical(qt::logAgent, "%s", error.c_str());
        return 2;
    }
    return runDelegate(*desktop, startedAtLogin, instance, nullptr, "sway at " + socket);
}

int runOnKde(int argc, char** argv, bool startedAtLogin) {
    std::signal(SIGPIPE, SIG_IGN);
    QApplication application(argc, argv);
    nameApplication();
    // One agent per Wayland display (see runOnSway).
    const std::string display = "kwin:" + qEnvironmentVariable("WAYLAND_DISPLAY").toStdString();
    SocketSingleInstance instance(display);
    if (instance.claim(!startedAtLogin) == SocketSingleInstance::Outcome::AlreadyRunning) {
        if (!startedAtLogin)
            std::cout << "velmora: already running on KDE; asked it to show its settings\n";
        return 0;
    }
    std::string error;
    auto desktop = KdeDesktop::connect(settingsStore().store, startedAtLogin, &error);
    if (!desktop) {
        qCCritical(qt::logAgent, "%s", error.c_str());
        return 2;
    }
    return runDelegate(*desktop, startedAtLogin, instance, nullptr, "KDE (KWin)");
}

// On GNOME a second start and the extension's top-bar button both ask for the settings.
struct GnomeClaim {
    SocketSingleInstance& socket;
    gnome::GnomeAgentService& service;
    void setReopenHandler(const std::function<void()>& handler) {
        socket.setReopenHandler(handler);
        service.setShowSettings(handler);
    }
};

int runOnGnome(int argc, char** argv, bool startedAtLogin) {
    std::signal(SIGPIPE, SIG_IGN);
    QApplication application(argc, argv);
    nameApplication();
    // One agent per Wayland display (see runOnSway).
    const std::string display = "gnome:" + qEnvironmentVariable("WAYLAND_DISPLAY").toStdString();
    SocketSingleInstance instance(display);
    if (instance.claim(!startedAtLogin) == SocketSingleInstance::Outcome::AlreadyRunning) {
        if (!startedAtLogin)
            std::cout << "velmora: already running on GNOME; asked it to show its settings\n";
        return 0;
    }
    std::string error;
    auto desktop = GnomeDesktop::connect(settingsStore().store, startedAtLogin, &error);
    if (!desktop) {
        qCCritical(qt::logAgent, "%s", error.c_str());
        return 2;
    }
    GnomeClaim claim{instance, desktop->agentService()};
    return runDelegate(*desktop, startedAtLogin, claim, nullptr, "GNOME Shell");
}

} // namespace

int runAgent(int argc, char** argv, bool startedAtLogin, const std::string& desktopName) {
    installQtMessageHandler();
    const DesktopFinding found = findDesktop(processDesktopEnvironment(), desktopName);
    if (found.desktop == DesktopKind::X11)
        return runOnX11(argc, argv, startedAtLogin);
    if (found.desktop == DesktopKind::Sway)
        return runOnSway(argc, argv, startedAtLogin, found.swaySocket);
    if (found.desktop == DesktopKind::Kde)
        return runOnKde(argc, argv, startedAtLogin);
    if (found.desktop == DesktopKind::Gnome)
        return runOnGnome(argc, argv, startedAtLogin);
    for (const std::string& line : found.checks)
        qCCritical(qt::logAgent, "%s", line.c_str());
    qCCritical(qt::logAgent, "no desktop the agent can run on; \"velmora desktop\" shows why");
    return 2;
}

} // namespace velmora::program
