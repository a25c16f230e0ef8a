// SPDX-License-Identifier: MIT
#include "window_facts.h"

#include "xcb_reply.h"

#include "platform/saturating_numbers.h"
#include "text_encoding.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <unistd.h>

namespace velmora::x11 {

namespace {

template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

constexpr std::uint32_t kMaxPropertyWords = 16384; // 64 KiB: titles, class names, id lists

xcb_get_property_cookie_t requestProperty(xcb_connection_t* c, xcb_window_t w, xcb_atom_t p) {
    return xcb_get_property(c, 0, w, p, XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxPropertyWords);
}

// The reply of a property request: null when the window is gone; a reply of type None when the
// property is absent.
Reply<xcb_get_property_reply_t> propertyReply(xcb_connection_t* c, xcb_get_property_cookie_t cookie,
                                              bool* gone) {
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, &error));
    if (error) {
        *gone = true;
        std::free(error);
    }
    return reply;
}

std::optional<std::string> bytesOf(const xcb_get_property_reply_t* reply) {
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
        return std::nullopt;
    auto* data = static_cast<const char*>(xcb_get_property_value(reply));
    return std::string(data, static_cast<std::size_t>(xcb_get_property_value_length(reply)));
}

// Text properties may end in a NUL; names never hold one.
std::optional<std::string> singleText(std::optional<std::string> text) {
    if (text)
        if (std::size_t nul = text->find('\0'); nul != std::string::npos)
            text->resize(nul);
    return text;
}

struct Pending {
    xcb_get_property_cookie_t wmClass, gtkId, kdeFile, pid, machine;
    xcb_get_property_cookie_t netName;
    xcb_get_property_cookie_t wmState, types, states;
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t origin;
    xcb_get_property_cookie_t extents, gtkExtents;
};

void sendRequests(X11Connection& connection, xcb_window_t w, unsigned parts, Pending& p) {
    xcb_connection_t* c = connection.xcb();
    auto& ewmh = connection.ewmh();
    if (parts & kIdentityPart) {
        p.wmClass = requestProperty(c, w, XCB_ATOM_WM_CLASS);
        p.gtkId = requestProperty(c, w, connection.atoms().gtkApplicationId);
        p.kdeFile = requestProperty(c, w, connection.atoms().kdeDesktopFile);
        p.pid = requestProperty(c, w, ewmh._NET_WM_PID);
        p.machine = requestProperty(c, w, XCB_ATOM_WM_CLIENT_MACHINE);
    }
    if (parts & kNamePart)
        p.netName = requestProperty(c, w, ewmh._NET_WM_NAME);
    if (parts & kWmStatePart)
        p.wmState = requestProperty(c, w, connection.atoms().wmState);
    if (parts & kTypePart) {
        p.types = requestProperty(c, w, ewmh._NET_WM_WINDOW_TYPE);
        p.states = requestProperty(c, w, ewmh._NET_WM_STATE);
    }
    if (parts & kMapPart)
        p.attributes = xcb_get_window_attributes(c, w);
    if (parts & kGeometryPart) {
        p.geometry = xcb_get_geometry(c, w);
        p.origin = xcb_translate_coordinates(c, w, connection.root(), 0, 0);
        p.extents = requestProperty(c, w, ewmh._NET_FRAME_EXTENTS);
        p.gtkExtents = requestProperty(c, w, connection.atoms().gtkFrameExtents);
    }
}

void collectIdentity(X11Connection& connection, const Pending& p, WindowFacts& facts) {
    xcb_connection_t* c = connection.xcb();
    bool gone = false;
    auto wmClass = propertyReply(c, p.wmClass, &gone);
    auto gtkId = propertyReply(c, p.gtkId, &gone);
    auto kdeFile = propertyReply(c, p.kdeFile, &gone);
    auto pid = propertyReply(c, p.pid, &gone);
    auto machine = propertyReply(c, p.machine, &gone);
    facts.exists = facts.exists && !gone;
    facts.hints =
        identityHintsOf({wmClass.get(), gtkId.get(), kdeFile.get(), pid.get(), machine.get()},
                        connection.ewmh().UTF8_STRING, connection.hostName(), facts.window);
}

void collectName(X11Connection& connection, xcb_get_property_cookie_t cookie, WindowFacts& facts) {
    bool gone = false;
    auto name = propertyReply(connection.xcb(), cookie, &gone);
    facts.exists = facts.exists && !gone;
    facts.name = propertyName(name.get(), connection.ewmh().UTF8_STRING);
}

// WM_NAME, for the windows that have no _NET_WM_NAME: few do these days, so asking every window
// for both would cost more than this second batch.
void collectLegacyNames(X11Connection& connection, std::vector<WindowFacts>& result) {
    std::vector<std::pair<WindowFacts*, xcb_get_property_cookie_t>> pending;
    for (WindowFacts& facts : result)
        if (facts.exists && !facts.name)
            pending.emplace_back(&facts,
                                 requestProperty(connection.xcb(), facts.window, XCB_ATOM_WM_NAME));
    for (auto& [facts, cookie] : pending)
        collectName(connection, cookie, *facts);
}

void collectState(X11Connection& connection, unsigned parts, const Pending& p, WindowFacts& facts) {
    xcb_connection_t* c = connection.xcb();
    bool gone = false;
    if (parts & kWmStatePart) {
        auto wmState = propertyReply(c, p.wmState, &gone);
        if (auto words = propertyWords(wmState.get()); !words.empty())
            facts.wmState = words[0];
    }
    if (parts & kTypePart) {
        auto types = propertyReply(c, p.types, &gone);
        auto states = propertyReply(c, p.states, &gone);
        facts.windowTypes = propertyWords(types.get());
        facts.netWmStates = propertyWords(states.get());
    }
    if (parts & kMapPart) {
        xcb_generic_error_t* error = nullptr;
        Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, p.attributes, &error));
        if (error) {
            gone = true;
            std::free(error);
        }
        facts.viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        facts.overrideRedirect = attributes && attributes->override_redirect;
    }
    facts.exists = facts.exists && !gone;
}

void collectGeometry(X11Connection& connection, const Pending& p, WindowFacts& facts) {
    xcb_connection_t* c = connection.xcb();
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, p.geometry, &error));
    std::free(error);
    error = nullptr;
    Reply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(c, p.origin, &error));
    std::free(error);
    bool gone = false;
    auto extents = propertyReply(c, p.extents, &gone);
    auto gtkExtents = propertyReply(c, p.gtkExtents, &gone);
    if (!geometry || !origin) {
        facts.exists = false;
        return;
    }
    // The frame the window manager drew around the window counts as part of the window, as
    // the title bar does on desktops where the server draws it.
    facts.bounds = boundsWithExtents(origin->dst_x, origin->dst_y, geometry->width,
                                     geometry->height, propertyWords(extents.get()), false);
    facts.contentBounds =
        boundsWithExtents(origin->dst_x, origin->dst_y, geometry->width, geometry->height,
                          propertyWords(gtkExtents.get()), true);
}

std::int32_t clampTo32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

std::vector<std::uint32_t> propertyWords(const xcb_get_property_reply_t* reply) {
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 32)
        return {};
    auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    int count = xcb_get_property_value_length(reply) / 4;
    return std::vector<std::uint32_t>(data, data + count);
}

std::optional<std::string> propertyName(const xcb_get_property_reply_t* reply,
                                        xcb_atom_t utf8String) {
    auto bytes = bytesOf(reply);
    if (!bytes)
        return std::nullopt;
    return singleText(reply->type == utf8String ? sanitizeUtf8(*bytes) : legacyTextToUtf8(*bytes));
}

WindowIdentityHints identityHintsOf(const IdentityReplies& replies, xcb_atom_t utf8String,
                                    std::string_view hostName, xcb_window_t window) {
    WindowIdentityHints hints;
    if (auto bytes = bytesOf(replies.wmClass)) {
        std::vector<std::string> parts = splitNulSeparated(*bytes);
        if (parts.size() >= 2 && !parts[1].empty())
            hints.wmClassClass = legacyTextToUtf8(parts[1]);
    }
    hints.gtkApplicationId = propertyName(replies.gtkApplicationId, utf8String);
    hints.kdeDesktopFile = propertyName(replies.kdeDesktopFile, utf8String);
    std::vector<std::uint32_t> pids = propertyWords(replies.pid);
    auto host = singleText(bytesOf(replies.clientMachine));
    bool sameHost = !host || *host == hostName;
    if (!pids.empty()) {
        hints.ownWindow = sameHost && pids[0] == static_cast<std::uint32_t>(getpid());
        hints.fallbackKey = "pid:" + std::to_string(pids[0]) + "@" + host.value_or("");
    } else {
        hints.fallbackKey = "window:" + std::to_string(window);
    }
    return hints;
}

WindowBounds boundsWithExtents(std::int64_t x, std::int64_t y, std::int64_t width,
                               std::int64_t height, const std::vector<std::uint32_t>& extents,
                               bool shrink) {
    std::int64_t left = 0, right = 0, top = 0, bottom = 0;
    if (extents.size() >= 4) {
        // Each is below 2^32: negated, it stays inside 64 bits.
        const std::int64_t sign = shrink ? -1 : 1;
        left = sign * extents[0];
        right = sign * extents[1];
        top = sign * extents[2];
        bottom = sign * extents[3];
    }
    // The sums saturate: the rectangle itself may lie anywhere in 64 bits.
    WindowBounds bounds;
    bounds.x = clampTo32(saturatingAdd(x, -left));
    bounds.y = clampTo32(saturatingAdd(y, -top));
    bounds.width =
        clampTo32(std::max<std::int64_t>(0, saturatingAdd(saturatingAdd(width, left), right)));
    bounds.height =
        clampTo32(std::max<std::int64_t>(0, saturatingAdd(saturatingAdd(height, top), bottom)));
    return bounds;
}

xcb_atom_t primaryWindowType(X11Connection& connection, const WindowFacts& facts) {
    const auto& e = connection.ewmh();
    const xcb_atom_t standard[] = {
        e._NET_WM_WINDOW_TYPE_DESKTOP,      e._NET_WM_WINDOW_TYPE_DOCK,
        e._NET_WM_WINDOW_TYPE_TOOLBAR,      e._NET_WM_WINDOW_TYPE_MENU,
        e._NET_WM_WINDOW_TYPE_UTILITY,      e._NET_WM_WINDOW_TYPE_SPLASH,
        e._NET_WM_WINDOW_TYPE_DIALOG,       e._NET_WM_WINDOW_TYPE_DROPDOWN_MENU,
        e._NET_WM_WINDOW_TYPE_POPUP_MENU,   e._NET_WM_WINDOW_TYPE_TOOLTIP,
        e._NET_WM_WINDOW_TYPE_NOTIFICATION, e._NET_WM_WINDOW_TYPE_COMBO,
        e._NET_WM_WINDOW_TYPE_DND,          e._NET_WM_WINDOW_TYPE_NORMAL,
    };
    for (xcb_atom_t type : facts.windowTypes)
        for (xcb_atom_t known : standard)
            if (type == known)
                return type;
    return XCB_ATOM_NONE;
}

std::vector<WindowFacts> readWindowFacts(X11Connection& connection,
                                         const std::vector<xcb_window_t>& windows, unsigned parts) {
    std::vector<Pending> pending(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i)
        sendRequests(connection, windows[i], parts, pending[i]);
    std::vector<WindowFacts> result(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        WindowFacts& facts = result[i];
        facts.window = windows[i];
        if (parts & kIdentityPart)
            collectIdentity(connection, pending[i], facts);
        if (parts & kNamePart)
            collectName(connection, pending[i].netName, facts);
        if (parts & kStatePart)
            collectState(connection, parts, pending[i], facts);
        if (parts & kGeometryPart)
            collectGeometry(connection, pending[i], facts);
    }
    if (parts & kNamePart)
        collectLegacyNames(connection, result);
    connection.repliesAwaited();
    return result;
}

std::vector<std::uint32_t> readCardinals(X11Connection& connection, xcb_window_t window,
                                         xcb_atom_t property, xcb_atom_t type) {
    xcb_get_property_cookie_t cookie =
        xcb_get_property(connection.xcb(), 0, window, property, type, 0, kMaxPropertyWords);
    bool gone = false;
    auto reply = propertyReply(connection.xcb(), cookie, &gone);
    connection.repliesAwaited();
    return propertyWords(reply.get());
}

std::optional<std::string> readBytes(X11Connection& connection, xcb_window_t window,
                                     xcb_atom_t property) {
    bool gone = false;
    auto reply =
        propertyReply(connection.xcb(), requestProperty(connection.xcb(), window, property), &gone);
    connection.repliesAwaited();
    return bytesOf(reply.get());
}

} // namespace velmora::x11
