// SPDX-License-Identifier: MIT
#include "desktop_commands.h"

#include "console_log.h"
#include "input_method_frameworks.h"
#include "platform/application.h"
#include "x11/application_identities.h"
#include "x11/x11_connection.h"
#include "x11/x11_distributed_notifications.h"
#include "x11/x11_workspace.h"
#include "x11/xkb_input_sources.h"

#include <iostream>

namespace velmora::program {

namespace {

std::unique_ptr<x11::X11Connection> connect() {
    std::string error;
    auto connection = x11::X11Connection::open("", &error);
    if (!connection)
        std::cerr << "velmora: " << error << '\n';
    return connection;
}

} // namespace

int listSources(std::ostream& out) {
    // While an input-method framework runs, its input methods are the input sources.
    if (auto sources = runningFrameworkSources(false)) {
        for (const InputSource& source : *sources)
            out << source.inputSourceID.value_or("-") << '\t' << source.localizedName << '\n';
        return 0;
    }
    auto connection = connect();
    if (!connection)
        return 2;
    x11::X11DesktopBroadcasts notifications;
    x11::XkbInputSources sources(*connection, notifications, logToConsole);
    for (const InputSource& source : sources.sourcesMatching(std::nullopt, false))
        out << source.inputSourceID.value_or("-") << '\t' << source.localizedName << '\n';
    return 0;
}

int listApps(std::ostream& out) {
    auto connection = connect();
    if (!connection)
        return 2;
    x11::ApplicationIdentities identities(*connection);
    x11::X11Workspace workspace(*connection, identities, logToConsole);
    for (const RunningApplication& app : workspace.runningApplications()) {
        // The agent's own indicator is a window of the desktop but not an application to
        // keep a rule for.
        if (app.bundleIdentifier == kOwnBundleIdentifier)
            continue;
        out << app.bundleIdentifier.value_or("-") << '\t' << app.localizedName << '\n';
    }
    return 0;
}

} // namespace velmora::program
