// SPDX-License-Identifier: MIT
#include "client_windows.h"

#include "xcb_reply.h"

#include "window_facts.h"

#include <cstdlib>
#include <memory>

namespace velmora::x11 {

namespace {

struct TreeNode {
    xcb_window_t parent = XCB_WINDOW_NONE;
    std::vector<xcb_window_t> children; // bottom to top
};

std::optional<TreeNode> queryTree(X11Connection& connection, xcb_window_t window) {
    xcb_generic_error_t* error = nullptr;
    std::unique_ptr<xcb_query_tree_reply_t, FreeDeleter> reply(
        xcb_query_tree_reply(connection.xcb(), xcb_query_tree(connection.xcb(), window), &error));
    std::free(error);
    connection.repliesAwaited();
    if (!reply)
        return std::nullopt;
    TreeNode node;
    node.parent = reply->parent;
    xcb_window_t* children = xcb_query_tree_children(reply.get());
    node.children.assign(children, children + xcb_query_tree_children_length(reply.get()));
    return node;
}

// A top-level window that carries WM_STATE is the client itself; otherwise it is the frame of
// a window manager without EWMH, and the client is the child that carries WM_STATE. Without any
// window manager nobody sets WM_STATE, and the top-level window is the client.
xcb_window_t clientOfTopLevel(X11Connection& connection, const WindowFacts& topLevel) {
    if (topLevel.wmState)
        return topLevel.window;
    auto tree = queryTree(connection, topLevel.window);
    if (!tree || tree->children.empty())
        return topLevel.window;
    for (const WindowFacts& child : readWindowFacts(connection, tree->children, kWmStatePart))
        if (child.wmState)
            return child.window;
    return topLevel.window;
}

std::vector<xcb_window_t> topLevelClients(X11Connection& connection) {
    auto tree = queryTree(connection, connection.root());
    if (!tree)
        return {};
    std::vector<xcb_window_t> clients;
    for (const WindowFacts& facts :
         readWindowFacts(connection, tree->children, kWmStatePart | kMapPart)) {
        if (!facts.exists || !facts.viewable || facts.overrideRedirect)
            continue;
        clients.push_back(clientOfTopLevel(connection, facts));
    }
    connection.repliesAwaited();
    return clients;
}

} // namespace

std::optional<xcb_window_t> ewmhCheckWindow(X11Connection& connection) {
    xcb_atom_t check = connection.ewmh()._NET_SUPPORTING_WM_CHECK;
    auto onRoot = readCardinals(connection, connection.root(), check, XCB_ATOM_WINDOW);
    if (onRoot.empty() || onRoot[0] == XCB_WINDOW_NONE)
        return std::nullopt;
    auto onSelf = readCardinals(connection, onRoot[0], check, XCB_ATOM_WINDOW);
    if (onSelf.empty() || onSelf[0] != onRoot[0])
        return std::nullopt;
    return onRoot[0];
}

std::vector<xcb_window_t> clientWindowsByAge(X11Connection& connection, bool ewmh) {
    if (!ewmh)
        return topLevelClients(connection);
    return readCardinals(connection, connection.root(), connection.ewmh()._NET_CLIENT_LIST,
                         XCB_ATOM_WINDOW);
}

std::vector<xcb_window_t> clientWindowsBottomToTop(X11Connection& connection) {
    auto& ewmh = connection.ewmh();
    xcb_connection_t* c = connection.xcb();
    auto check = xcb_get_property(c, 0, connection.root(), ewmh._NET_SUPPORTING_WM_CHECK,
                                  XCB_ATOM_WINDOW, 0, 1);
    auto stacking = xcb_get_property(c, 0, connection.root(), ewmh._NET_CLIENT_LIST_STACKING,
                                     XCB_ATOM_WINDOW, 0, 16384);
    std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> checkReply(
        xcb_get_property_reply(c, check, nullptr));
    std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> stackingReply(
        xcb_get_property_reply(c, stacking, nullptr));
    connection.repliesAwaited();
    bool managed = checkReply && checkReply->type == XCB_ATOM_WINDOW &&
                   xcb_get_property_value_length(checkReply.get()) >= 4;
    if (!managed || !stackingReply || stackingReply->type != XCB_ATOM_WINDOW)
        return topLevelClients(connection);
    auto* data = static_cast<const xcb_window_t*>(xcb_get_property_value(stackingReply.get()));
    return std::vector<xcb_window_t>(data,
                                     data + xcb_get_property_value_length(stackingReply.get()) / 4);
}

xcb_window_t activeClientWindow(X11Connection& connection, bool ewmh) {
    if (ewmh) {
        auto active = readCardinals(connection, connection.root(),
                                    connection.ewmh()._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW);
        return active.empty() ? xcb_window_t{XCB_WINDOW_NONE} : active[0];
    }
    xcb_generic_error_t* error = nullptr;
    std::unique_ptr<xcb_get_input_focus_reply_t, FreeDeleter> focus(
        xcb_get_input_focus_reply(connection.xcb(), xcb_get_input_focus(connection.xcb()), &error));
    std::free(error);
    connection.repliesAwaited();
    if (!focus || focus->focus == XCB_WINDOW_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT ||
        focus->focus == connection.root())
        return XCB_WINDOW_NONE;
    // Walk up to the child of the root that holds the focus window.
    xcb_window_t window = focus->focus;
    for (int depth = 0; depth < 64; ++depth) {
        auto tree = queryTree(connection, window);
        if (!tree)
            return XCB_WINDOW_NONE;
        if (tree->parent == connection.root() || tree->parent == XCB_WINDOW_NONE)
            break;
        window = tree->parent;
    }
    auto facts = readWindowFacts(connection, {window}, kWmStatePart);
    if (!facts[0].exists)
        return XCB_WINDOW_NONE;
    return clientOfTopLevel(connection, facts[0]);
}

} // namespace velmora::x11
