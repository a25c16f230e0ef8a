// SPDX-License-Identifier: MIT
#include "x11_tray_watch.h"

#include "xcb_reply.h"

#include <xcb/xfixes.h>

#include <string>

namespace velmora::x11 {

X11TrayWatch::X11TrayWatch(X11Connection& connection, std::function<void(bool present)> changed)
    : changed_(std::move(changed)) {
    xcb_connection_t* c = connection.xcb();
    if (connection.xfixesMajorVersion() == 0)
        return;
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(connection.screenNumber());
    XcbReply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr));
    connection.repliesAwaited();
    if (!atom)
        return;
    selection_ = atom->atom;
    selectionNotify_ = static_cast<std::uint8_t>(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
    xcb_xfixes_select_selection_input(c, connection.root(), selection_,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    connection.addEventHandler([this](const xcb_generic_event_t& event) { onEvent(event); });
    connection.flush();
    watching_ = true;
}

void X11TrayWatch::onEvent(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7F) != selectionNotify_)
        return;
    const auto& notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t&>(event);
    // A destroyed or closed owner comes with no owner.
    if (notify.selection == selection_ && changed_)
        changed_(notify.owner != XCB_WINDOW_NONE);
}

} // namespace velmora::x11
