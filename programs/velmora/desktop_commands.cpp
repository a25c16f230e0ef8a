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
#include "x11/xkb_layout_ids.h"
#include "xkb_registry_layouts.h"

#include <algorithm>
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

std::vector<InputSource> keymapSources(x11::X11Connection& connection) {
    if (!connection.hasXkb())
        return {};
    x11::X11DesktopBroadcasts notifications;
    x11::XkbInputSources sources(connection, notifications, logToConsole);
    return sources.sourcesMatching(std::nullopt, false);
}

std::vector<InputSource> desktopInputSources(x11::X11Connection& connection, bool all) {
    // While an input-method framework runs, its input methods are the input sources.
    if (auto sources = runningFrameworkSources(all))
        return *sources;
    std::vector<InputSource> found = keymapSources(connection);
    if (!all)
        return found;
    const std::size_t keymap = found.size();
    for (const XkbLayoutInfo& info : xkbRegistryLayouts()) {
        InputSource source;
        source.inputSourceID = x11::inputSourceIdFor({info.layout, info.variant});
        source.localizedName = info.description;
        if (std::none_of(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(keymap),
                         [&source](const InputSource& known) {
                             return known.inputSourceID == source.inputSourceID;
                         }))
            found.push_back(std::move(source));
    }
    return found;
}

int listSources(std::ostream& out, bool all) {
    auto connection = connect();
    if (!connection)
        return 2;
    for (const InputSource& source : desktopInputSources(*connection, all))
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
