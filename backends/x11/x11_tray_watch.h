// SPDX-License-Identifier: MIT
#pragma once
// When a system tray appears on the agent's screen or goes away: the server says so when the
// tray's selection (_NET_SYSTEM_TRAY_S<screen>) changes hands, so nothing has to ask again and
// again while there is no tray.
//
// Main thread, as the connection's event handlers are.

#include "x11_connection.h"

#include <functional>

namespace velmora::x11 {

class X11TrayWatch {
  public:
    // CHANGED runs after each change of the tray's owner, with whether there is one now (the
    // server says it with the change, before a toolkit that asks on its own connection may
    // know). Without XFixes nothing is watched: watching() says so.
    X11TrayWatch(X11Connection& connection, std::function<void(bool present)> changed);

    bool watching() const { return watching_; }

  private:
    void onEvent(const xcb_generic_event_t& event);

    std::function<void(bool present)> changed_;
    xcb_atom_t selection_ = XCB_ATOM_NONE;
    std::uint8_t selectionNotify_ = 0; // the event code of XFixes' selection notify
    bool watching_ = false;
};

} // namespace velmora::x11
