// SPDX-License-Identifier: MIT
#include "desktop_choice.h"

#include "gnome/gnome_shell_replies.h"
#include "sway/sway_probe.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <array>
#include <cstdlib>
#include <ostream>

namespace velmora::program {

namespace {

constexpr std::array kDesktops{
    DesktopName{DesktopKind::Sway, "sway", "sway", true},
    DesktopName{DesktopKind::Kde, "kde", "KDE Plasma (KWin on Wayland)", true},
    DesktopName{DesktopKind::Gnome, "gnome", "GNOME", true},
    DesktopName{DesktopKind::X11, "x11", "X11", true},
};

const DesktopName& named(DesktopKind kind) {
    for (const DesktopName& desktop : kDesktops)
        if (desktop.kind == kind)
            return desktop;
    return kDesktops.back();
}

std::string shown(const std::optional<std::string>& value) {
    return value ? "\"" + *value + "\"" : "not set";
}

bool checkSway(const DesktopEnvironment& environment, DesktopFinding& finding) {
    const std::optional<std::string> socket = environment.variable("SWAYSOCK");
    if (!socket || socket->empty()) {
        finding.checks.push_back("sway: SWAYSOCK is not set");
        return false;
    }
    std::string what;
    if (!environment.swayAnswers(*socket, &what)) {
        finding.checks.push_back("sway: no answer on SWAYSOCK " + *socket + " (" + what + ")");
        return false;
    }
    finding.checks.push_back("sway: " + what + " answers on SWAYSOCK " + *socket);
    finding.swaySocket = *socket;
    return true;
}

bool isKdeSession(const DesktopEnvironment& environment) {
    const std::string desktops = environment.variable("XDG_CURRENT_DESKTOP").value_or("");
    return desktops.find("KDE") != std::string::npos || environment.variable("KDE_FULL_SESSION");
}

bool checkKde(const DesktopEnvironment& environment, DesktopFinding& finding) {
    const std::string title = named(DesktopKind::Kde).title;
    const std::optional<std::string> wayland = environment.variable("WAYLAND_DISPLAY");
    if (!wayland || wayland->empty()) {
        finding.checks.push_back(title + ": no Wayland session");
        return false;
    }
    std::string what;
    if (!environment.kwinOnBus(&what)) {
        finding.checks.push_back(
            title + ": " + what +
            (isKdeSession(environment) ? " (XDG_CURRENT_DESKTOP says KDE)" : ""));
        return false;
    }
    finding.checks.push_back(title + ": KWin owns org.kde.KWin on the session bus");
    return true;
}

// GNOME Shell's own check: a Wayland session of GNOME's (unless FORCED) with gnome-shell on
// the session bus.
bool checkGnome(const DesktopEnvironment& environment, DesktopFinding& finding, bool forced) {
    const std::string desktops = environment.variable("XDG_CURRENT_DESKTOP").value_or("");
    if (!forced && desktops.find("GNOME") == std::string::npos) {
        finding.checks.push_back("GNOME: XDG_CURRENT_DESKTOP does not name GNOME");
        return false;
    }
    std::string what;
    if (!environment.gnomeShellOnBus(&what)) {
        finding.checks.push_back("GNOME: " + what);
        return false;
    }
    finding.checks.push_back("GNOME: GNOME Shell owns org.gnome.Shell on the session bus, " + what);
    return true;
}

// Runs ASK with a session-bus connection of its own, closed again: the agent's own comes later.
bool askSessionBus(const std::function<bool(QDBusConnection&, std::string*)>& ask,
                   std::string* what) {
    std::optional<QCoreApplication> application;
    int argc = 1;
    char name[] = "velmora";
    char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        application.emplace(argc, argv);
    const QString connectionName = QStringLiteral("velmora-desktop-check");
    bool answered = false;
    {
        QDBusConnection bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
        if (!bus.isConnected())
            *what = "no session bus";
        else
            answered = ask(bus, what);
    }
    QDBusConnection::disconnectFromBus(connectionName);
    return answered;
}

bool kwinOwnsItsName(std::string* what) {
    return askSessionBus(
        [](QDBusConnection& bus, std::string* what) {
            if (bus.interface()->isServiceRegistered(QStringLiteral("org.kde.KWin")))
                return true;
            *what = "org.kde.KWin has no owner on the session bus";
            return false;
        },
        what);
}

bool gnomeShellOwnsItsName(std::string* what) {
    return askSessionBus(
        [](QDBusConnection& bus, std::string* what) {
            if (!bus.interface()->isServiceRegistered(QString::fromLatin1(gnome::kShellService))) {
                *what = "org.gnome.Shell has no owner on the session bus";
                return false;
            }
            QDBusMessage info =
                QDBusMessage::createMethodCall(gnome::kShellService, "/org/gnome/Shell",
                                               "org.gnome.Shell.Extensions", "GetExtensionInfo");
            info << QString::fromLatin1(gnome::kExtensionUuid);
            *what = gnome::describe(gnome::extensionStateOf(bus.call(info, QDBus::Block, 1000)));
            return true;
        },
        what);
}

} // namespace

std::span<const DesktopName> desktopNames() {
    return kDesktops;
}

DesktopEnvironment processDesktopEnvironment() {
    return DesktopEnvironment{
        .variable = [](const char* name) -> std::optional<std::string> {
            const char* value = std::getenv(name);
            return value ? std::optional<std::string>(value) : std::nullopt;
        },
        .swayAnswers =
            [](const std::string& path, std::string* what) {
                sway::SwayProbe probe = sway::probeSway(path);
                *what = probe.answers ? probe.version : probe.explanation;
                return probe.answers;
            },
        .kwinOnBus = kwinOwnsItsName,
        .gnomeShellOnBus = gnomeShellOwnsItsName,
    };
}

DesktopFinding findDesktop(const DesktopEnvironment& environment, const std::string& forced) {
    DesktopFinding finding;
    const std::optional<std::string> wayland = environment.variable("WAYLAND_DISPLAY");
    const std::optional<std::string> display = environment.variable("DISPLAY");
    if (!forced.empty()) {
        const DesktopName* chosen = nullptr;
        for (const DesktopName& desktop : kDesktops)
            if (forced == desktop.name)
                chosen = &desktop;
        if (!chosen) {
            std::string names;
            for (const DesktopName& desktop : kDesktops)
                names += std::string(names.empty() ? "" : ", ") + desktop.name;
            finding.checks.push_back("--desktop " + forced + ": no such desktop (known: " + names +
                                     ")");
            return finding;
        }
        finding.checks.push_back(std::string("--desktop ") + chosen->name + ": only " +
                                 chosen->title + " is checked");
        if (!chosen->supported)
            finding.checks.push_back(std::string(chosen->title) + " is not supported yet");
        else if (chosen->kind == DesktopKind::Sway    ? checkSway(environment, finding)
                 : chosen->kind == DesktopKind::Kde   ? checkKde(environment, finding)
                 : chosen->kind == DesktopKind::Gnome ? checkGnome(environment, finding, true)
                                                      : display && !display->empty())
            finding.desktop = chosen->kind;
        else if (chosen->kind == DesktopKind::X11)
            finding.checks.push_back("X11: DISPLAY is not set");
        if (finding.desktop == DesktopKind::X11)
            finding.checks.push_back("X11: DISPLAY is " + shown(display));
        return finding;
    }
    finding.checks.push_back("Wayland session: WAYLAND_DISPLAY is " + shown(wayland));
    if (checkSway(environment, finding)) {
        finding.desktop = DesktopKind::Sway;
        return finding;
    }
    const bool waylandSession = wayland && !wayland->empty();
    if (waylandSession && checkKde(environment, finding)) {
        finding.desktop = DesktopKind::Kde;
        return finding;
    }
    if (waylandSession && checkGnome(environment, finding, false)) {
        finding.desktop = DesktopKind::Gnome;
        return finding;
    }
    if (waylandSession) {
        finding.checks.push_back("this Wayland compositor is not one the agent supports");
        finding.checks.push_back("X11: DISPLAY is " + shown(display) +
                                 "; not used in a Wayland session: XWayland's windows are not "
                                 "the ones typed in (--desktop x11 forces it)");
        return finding;
    }
    if (!display || display->empty()) {
        finding.checks.push_back("X11: DISPLAY is not set");
        return finding;
    }
    finding.checks.push_back("X11: DISPLAY is " + shown(display));
    finding.desktop = DesktopKind::X11;
    return finding;
}

int printDesktop(std::ostream& out, const std::string& forced) {
    const DesktopFinding finding = findDesktop(processDesktopEnvironment(), forced);
    for (const std::string& line : finding.checks)
        out << line << '\n';
    if (!finding.desktop) {
        out << "desktop: none the agent can run on\n";
        return 1;
    }
    out << "desktop: " << named(*finding.desktop).name << '\n';
    return 0;
}

} // namespace velmora::program
