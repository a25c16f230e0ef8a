// SPDX-License-Identifier: MIT
#include "desktop_commands.h"

#include "command_line_bus.h"
#include "console_log.h"
#include "desktop_choice.h"
#include "gnome/gnome_agent_service.h"
#include "gnome/gnome_input_sources.h"
#include "input_method_frameworks.h"
#include "kde/kde_keyboard_layouts.h"
#include "kde/kde_workspace.h"
#include "kde/kwin_window_listing.h"
#include "platform/application.h"
#include "platform/desktop_broadcast_hub.h"
#include "sway/sway_input_sources.h"
#include "sway/sway_probe.h"
#include "wayland_app_identities.h"
#include "x11/application_identities.h"
#include "x11/x11_connection.h"
#include "x11/x11_workspace.h"
#include "x11/xkb_input_sources.h"
#include "x11/xkb_layout_ids.h"
#include "xkb_registry_layouts.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QJsonDocument>
#include <QStandardPaths>

#include <algorithm>
#include <iostream>

namespace velmora::program {

namespace {

// The command line waits this long for each of sway's answers, and for KWin's list of windows.
constexpr int kSwayAnswerMilliseconds = 1000;
constexpr int kKWinListMilliseconds = 2000;

void dropOwn(std::vector<RunningApplication>& running) {
    std::erase_if(running, [](const RunningApplication& app) {
        return app.bundleIdentifier == kOwnBundleIdentifier;
    });
}

std::optional<DesktopLook> lookAtX11(std::string* error) {
    auto connection = x11::X11Connection::open("", error);
    if (!connection)
        return std::nullopt;
    DesktopLook look;
    if (connection->hasXkb()) {
        DesktopBroadcastHub notifications;
        x11::XkbInputSources sources(*connection, notifications, logToConsole);
        look.layouts = sources.sourcesMatching(std::nullopt, false);
    }
    x11::ApplicationIdentities identities(*connection);
    x11::X11Workspace workspace(*connection, identities, logToConsole);
    look.running = workspace.runningApplications();
    return look;
}

std::optional<DesktopLook> lookAtSway(const std::string& socket, std::string* error) {
    std::optional<QJsonDocument> answers[2];
    const std::uint32_t questions[2] = {sway::kGetInputs, sway::kGetTree};
    for (int i = 0; i < 2; ++i) {
        std::string why;
        auto answer = sway::askSway(socket, questions[i], "", kSwayAnswerMilliseconds, &why);
        if (!answer) {
            *error = "sway at " + socket + ": " + why;
            return std::nullopt;
        }
        answers[i] = QJsonDocument::fromJson(QByteArray::fromStdString(*answer));
    }
    // The agent's own services, on a connection that sends nothing: the same IDs and keys.
    sway::SwayIpc unused(logToConsole);
    sway::SwayInputSources sources(unused, *answers[0], xkbRegistryLayouts(), {}, {});
    WaylandAppIdentities identities;
    sway::SwayWorkspace workspace(
        unused, *answers[1],
        [&identities](const sway::WindowIdentity& window) { return identities.identify(window); },
        {}, logToConsole);
    return DesktopLook{sources.sourcesMatching(std::nullopt, false),
                       workspace.runningApplications(), false};
}

// Asks GNOME Shell's extension on BUS, which holds the agent's name.
std::optional<DesktopLook> askGnomeShell(QDBusConnection& bus, std::string* error) {
    auto ask = [&bus](const char* method) {
        return bus.call(QDBusMessage::createMethodCall(gnome::kShellService, gnome::kExtensionPath,
                                                       gnome::kExtensionInterface, method),
                        QDBus::Block, kSwayAnswerMilliseconds);
    };
    const QDBusMessage reply = ask("GetInputSources");
    int skipped = 0;
    const std::optional<std::vector<gnome::GnomeSource>> sources =
        gnome::sourcesOf(reply, &skipped);
    if (!sources) {
        *error = "GNOME Shell's extension did not tell its input sources (" +
                 reply.errorMessage().left(200).toStdString() + "); " + gnome::enableAdvice();
        return std::nullopt;
    }
    DesktopLook look{.layouts = {}, .running = {}, .ibusFromDesktop = true};
    for (std::size_t i = 0; i < sources->size(); ++i)
        look.layouts.push_back(gnome::inputSourceOf((*sources)[i], i));
    // The extension tells of the focused window alone.
    if (const auto focus = gnome::focusOf(ask("GetFocus")); focus && !focus->empty()) {
        WaylandAppIdentities identities;
        look.running.push_back(identities.identify(
            sway::WindowIdentity{focus->desktopId, focus->wmClass, focus->pid}));
    }
    return look;
}

// The running agent, which holds the agent's name, on BUS: what it knows of GNOME.
std::optional<DesktopLook> askGnomeAgent(QDBusConnection& bus, std::string* error) {
    DesktopLook look{.layouts = {}, .running = {}, .ibusFromDesktop = true};
    for (const char* method : {"InputSources", "Applications"}) {
        const QDBusMessage reply =
            bus.call(QDBusMessage::createMethodCall(gnome::kAgentService, gnome::kAgentPath,
                                                    gnome::kAgentInterface, method),
                     QDBus::Block, kSwayAnswerMilliseconds);
        const auto lines = gnome::listingOf(reply);
        if (!lines) {
            *error = std::string("the running agent, which GNOME Shell's extension answers "
                                 "alone, did not tell what it knows (") +
                     reply.errorMessage().left(200).toStdString() + ")";
            return std::nullopt;
        }
        for (const auto& [id, name] : *lines) {
            if (std::string(method) == "InputSources") {
                InputSource source;
                source.inputSourceID = id;
                source.localizedName = name;
                look.layouts.push_back(std::move(source));
            } else {
                RunningApplication app;
                app.bundleIdentifier = id == "-" ? std::nullopt : std::optional(id);
                app.localizedName = name;
                look.running.push_back(std::move(app));
            }
        }
    }
    return look;
}

// The extension answers the owner of the agent's name alone: the name is borrowed for the
// question, or else the agent that holds it is asked (also when an agent started meanwhile and
// took the name over).
std::optional<DesktopLook> lookAtGnome(std::string* error) {
    CommandLineBus session(QStringLiteral("velmora-gnome-look"));
    QDBusConnection& bus = session.bus();
    if (!bus.isConnected()) {
        *error = "GNOME: no session bus (" + bus.lastError().message().toStdString() + ")";
        return std::nullopt;
    }
    if (!gnome::borrowAgentName(bus))
        return askGnomeAgent(bus, error);
    std::optional<DesktopLook> look = askGnomeShell(bus, error);
    if (!look && bus.interface()->serviceOwner(gnome::kAgentService).value() != bus.baseService())
        return askGnomeAgent(bus, error);
    return look;
}

std::optional<DesktopLook> lookAtKde(std::string* error) {
    CommandLineBus session(QStringLiteral("velmora-command-line-kde"));
    QDBusConnection& bus = session.bus();
    if (!bus.isConnected()) {
        *error = "KDE: no session bus (" + bus.lastError().message().toStdString() + ")";
        return std::nullopt;
    }
    // The agent's own services, asked once: the same IDs and keys.
    kde::KWinWindowListing listing(
        bus, QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/velmora");
    std::string why;
    std::optional<std::vector<kde::KWinWindow>> windows = listing.list(kKWinListMilliseconds, &why);
    if (!windows) {
        *error = "KDE: " + why;
        return std::nullopt;
    }
    kde::KdeKeyboardLayouts layouts(
        bus, xkbRegistryLayouts(), [](DesktopBroadcast) {}, logToConsole);
    WaylandAppIdentities identities;
    kde::KdeWorkspace workspace(
        [&identities](const kde::KWinWindow& window) {
            return identities.identify(
                sway::WindowIdentity{window.desktopFile, window.resourceClass, window.pid});
        },
        {});
    for (const kde::KWinWindow& window : *windows)
        workspace.windowListed(window);
    return DesktopLook{layouts.sourcesMatching(std::nullopt, false),
                       workspace.runningApplications(), false};
}

} // namespace

std::optional<DesktopLook> lookAtDesktop(std::string* error) {
    const DesktopFinding finding = findDesktop(processDesktopEnvironment(), "");
    std::optional<DesktopLook> look = finding.desktop == DesktopKind::Sway
                                          ? lookAtSway(finding.swaySocket, error)
                                      : finding.desktop == DesktopKind::Kde   ? lookAtKde(error)
                                      : finding.desktop == DesktopKind::Gnome ? lookAtGnome(error)
                                                                              : lookAtX11(error);
    if (look)
        dropOwn(look->running);
    return look;
}

std::vector<InputSource> desktopInputSources(std::vector<InputSource> layouts, bool all,
                                             bool ibusFromDesktop) {
    // While an input-method framework runs, its input methods are the input sources.
    if (auto sources = runningFrameworkSources(all, !ibusFromDesktop))
        return *sources;
    if (!all)
        return layouts;
    const std::size_t keymap = layouts.size();
    for (const NamedLayout& info : xkbRegistryLayouts()) {
        InputSource source;
        source.inputSourceID = x11::inputSourceIdFor({info.layout, info.variant});
        source.localizedName = info.description;
        if (std::none_of(layouts.begin(), layouts.begin() + static_cast<std::ptrdiff_t>(keymap),
                         [&source](const InputSource& known) {
                             return known.inputSourceID == source.inputSourceID;
                         }))
            layouts.push_back(std::move(source));
    }
    return layouts;
}

int listSources(std::ostream& out, bool all) {
    std::string error;
    std::optional<DesktopLook> look = lookAtDesktop(&error);
    if (!look) {
        std::cerr << "velmora: " << error << '\n';
        return 2;
    }
    for (const InputSource& source :
         desktopInputSources(std::move(look->layouts), all, look->ibusFromDesktop))
        out << source.inputSourceID.value_or("-") << '\t' << source.localizedName << '\n';
    return 0;
}

int listApps(std::ostream& out) {
    std::string error;
    std::optional<DesktopLook> look = lookAtDesktop(&error);
    if (!look) {
        std::cerr << "velmora: " << error << '\n';
        return 2;
    }
    for (const RunningApplication& app : look->running)
        out << app.bundleIdentifier.value_or("-") << '\t' << app.localizedName << '\n';
    return 0;
}

} // namespace velmora::program
