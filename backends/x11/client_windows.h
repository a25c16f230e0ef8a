// SPDX-License-Identifier: MIT
#pragma once
// Finding the user's windows: from the EWMH lists of the window manager when there is one, and
// from the window tree and the input focus when there is none.

#include "x11_connection.h"

#include <optional>
#include <vector>

namespace velmora::x11 {

// The window manager's check window when an EWMH window manager runs (_NET_SUPPORTING_WM_CHECK
// on the root names a window that names itself); none otherwise.
std::optional<xcb_window_t> ewmhCheckWindow(X11Connection& connection);

// Client windows in the order they were managed (_NET_CLIENT_LIST), or, without an EWMH window
// manager, the mapped top-level clients bottom to top.
std::vector<xcb_window_t> clientWindowsByAge(X11Connection& connection, bool ewmh);
// Client windows bottom to top: _NET_CLIENT_LIST_STACKING when a window manager announces
// itself, else the mapped top-level clients of the window tree. One round trip with a window
// manager: the check window is not asked whether it is alive.
std::vector<xcb_window_t> clientWindowsBottomToTop(X11Connection& connection);
// The client window that is active (_NET_ACTIVE_WINDOW), or, without an EWMH window manager,
// the client that holds the input focus. XCB_WINDOW_NONE when there is none.
xcb_window_t activeClientWindow(X11Connection& connection, bool ewmh);

} // namespace velmora::x11
