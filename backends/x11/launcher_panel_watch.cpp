// SPDX-License-Identifier: MIT
#include "launcher_panel_watch.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace velmora::x11 {

bool isLauncherPanelClass(std::string_view wmClassClass) {
    return wmClassClass == "Rofi" || wmClassClass == "dmenu";
}

void LauncherPanelWatch::takeOpenPanels() {
    xcb_connection_t* c = connection_.xcb();
    std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, connection_.root()), nullptr), &std::free);
    connection_.repliesAwaited();
    if (!tree)
        return;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    std::vector<xcb_window_t> windows(children,
                                      children + xcb_query_tree_children_length(tree.get()));
    for (const WindowFacts& facts : readWindowFacts(connection_, windows, kMapPart | kIdentityPart))
        if (facts.exists && facts.viewable && facts.overrideRedirect)
            opened(facts);
}

std::optional<LauncherPanelWatch::Change>
LauncherPanelWatch::onEvent(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7F) {
    case XCB_MAP_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_map_notify_event_t&>(event);
        // Only the root's own children: a managed window is mapped inside its frame.
        if (e.event != connection_.root() || !e.override_redirect)
            return std::nullopt;
        // The agent's own reset window, mapped with every selection, is never asked about.
        const xcb_setup_t* setup = xcb_get_setup(connection_.xcb());
        if ((e.window & ~setup->resource_id_mask) == setup->resource_id_base)
            return std::nullopt;
        if (open_.contains(e.window))
            return std::nullopt;
        return opened(readWindowFacts(connection_, {e.window}, kIdentityPart | kGeometryPart)[0]);
    }
    case XCB_UNMAP_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_unmap_notify_event_t&>(event);
        return gone(e.window);
    }
    case XCB_DESTROY_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
        return gone(e.window);
    }
    default:
        return std::nullopt;
    }
}

std::optional<LauncherPanelWatch::Change> LauncherPanelWatch::opened(const WindowFacts& facts) {
    const xcb_window_t window = facts.window;
    if (!facts.exists || !facts.hints.wmClassClass ||
        !isLauncherPanelClass(*facts.hints.wmClassClass))
        return std::nullopt;
    // Keyed as any window of that class: its desktop file's id when it has one, else the class.
    AppIdentity launcher = identities_.identify({window})[0];
    if (!launcher.bundleIdentifier)
        return std::nullopt;
    open_[window] = launcher;
    if (std::none_of(seen_.begin(), seen_.end(),
                     [&](const AppIdentity& seen) { return seen.key == launcher.key; }))
        seen_.push_back(launcher);
    Change change{.opened = true, .launcher = launcher, .bounds = std::nullopt};
    if (facts.bounds)
        change.bounds = PlistDictionary{
            {"X", static_cast<std::int64_t>(facts.bounds->x)},
            {"Y", static_cast<std::int64_t>(facts.bounds->y)},
            {"Width", static_cast<std::int64_t>(facts.bounds->width)},
            {"Height", static_cast<std::int64_t>(facts.bounds->height)},
        };
    return change;
}

std::optional<LauncherPanelWatch::Change> LauncherPanelWatch::gone(xcb_window_t window) {
    auto it = open_.find(window);
    if (it == open_.end())
        return std::nullopt;
    Change change{.opened = false, .launcher = it->second, .bounds = std::nullopt};
    open_.erase(it);
    return change;
}

} // namespace velmora::x11
