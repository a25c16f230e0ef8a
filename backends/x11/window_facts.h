// SPDX-License-Identifier: MIT
#pragma once
// What the agent reads about client windows, fetched in batches: every request for every window
// is sent first and the replies are collected afterwards, so that reading fifty windows costs
// about one round trip instead of hundreds.

#include "app_identity.h"
#include "x11_connection.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::x11 {

enum WindowFactParts : unsigned {
    kIdentityPart = 1u << 0, // WM_CLASS, application ids, pid, client machine
    kNamePart = 1u << 1,     // _NET_WM_NAME, else (in a second batch) WM_NAME
    kWmStatePart = 1u << 2,  // WM_STATE: normal or iconic
    kTypePart = 1u << 3,     // window type and _NET_WM_STATE
    kMapPart = 1u << 4,      // map state and override-redirect
    kGeometryPart = 1u << 5, // bounds on the root window, frame included; content bounds
    kStatePart = kWmStatePart | kTypePart | kMapPart,
};

inline constexpr std::uint32_t kWmStateNormal = 1;
inline constexpr std::uint32_t kWmStateIconic = 3;

struct WindowBounds {
    std::int32_t x = 0; // top-left origin, root window coordinates
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct WindowFacts {
    xcb_window_t window = XCB_WINDOW_NONE;
    bool exists = true; // false when the window was destroyed before it could be read
    WindowIdentityHints hints;
    std::optional<std::string> name;
    std::optional<std::uint32_t> wmState;
    std::vector<xcb_atom_t> windowTypes;
    std::vector<xcb_atom_t> netWmStates;
    bool viewable = false;
    bool overrideRedirect = false;
    std::optional<WindowBounds> bounds;
    // What the application draws: the window without the window manager's frame and without
    // the transparent margins (_GTK_FRAME_EXTENTS) a window that draws its own title bar keeps
    // around itself for its shadow.
    std::optional<WindowBounds> contentBounds;
};

// The rectangle of a window at (X, Y) of WIDTH x HEIGHT grown by OUTSET on each side (left,
// right, top, bottom; fewer than four values count as none), or shrunk by it when SHRINK.
// Computed in 64 bits and clamped to what 32 bits hold, a width and height never below 0:
// the extents come from any client.
WindowBounds boundsWithExtents(std::int64_t x, std::int64_t y, std::int64_t width,
                               std::int64_t height, const std::vector<std::uint32_t>& extents,
                               bool shrink);

// The window's type: the first of its _NET_WM_WINDOW_TYPE entries that EWMH defines (clients
// list their own types first and a standard one after, for window managers that do not know
// theirs). XCB_ATOM_NONE when it names none.
xcb_atom_t primaryWindowType(X11Connection& connection, const WindowFacts& facts);

// The PARTS of each window, in the order given. Windows that are gone are marked, never
// skipped. Any thread.
std::vector<WindowFacts> readWindowFacts(X11Connection& connection,
                                         const std::vector<xcb_window_t>& windows, unsigned parts);

// The decoding of property replies, apart from the requests so that it can be tried on any
// bytes. A null reply (the window is gone) and one of type None (no such property) hold nothing.

// The 32-bit values of REPLY; empty unless it has format 32.
std::vector<std::uint32_t> propertyWords(const xcb_get_property_reply_t* reply);
// A name or id held as text: UTF-8 when the type is UTF8STRING (invalid sequences replaced),
// else STRING or COMPOUND_TEXT; cut at the first NUL. None unless REPLY has format 8.
std::optional<std::string> propertyName(const xcb_get_property_reply_t* reply,
                                        xcb_atom_t utf8String);

struct IdentityReplies {
    const xcb_get_property_reply_t* wmClass = nullptr;
    const xcb_get_property_reply_t* gtkApplicationId = nullptr;
    const xcb_get_property_reply_t* kdeDesktopFile = nullptr;
    const xcb_get_property_reply_t* pid = nullptr;           // _NET_WM_PID
    const xcb_get_property_reply_t* clientMachine = nullptr; // WM_CLIENT_MACHINE
};
// What the identity properties of WINDOW say; HOSTNAME is this machine's, which tells whether a
// pid is one of this machine's processes.
WindowIdentityHints identityHintsOf(const IdentityReplies& replies, xcb_atom_t utf8String,
                                    std::string_view hostName, xcb_window_t window);

// A window property holding 32-bit values (window lists, atoms, cardinals); empty when absent.
std::vector<std::uint32_t> readCardinals(X11Connection& connection, xcb_window_t window,
                                         xcb_atom_t property, xcb_atom_t type);
// The raw bytes of a property of any type; none when absent.
std::optional<std::string> readBytes(X11Connection& connection, xcb_window_t window,
                                     xcb_atom_t property);

} // namespace velmora::x11
