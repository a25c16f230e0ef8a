// SPDX-License-Identifier: MIT
#pragma once
// What the tests on a live display share: handing the connection's events to the services
// until what they wait for has happened (the deadline only stops a broken test from hanging; it
// judges no timing), round trips and atoms.

#include "x11/x11_connection.h"
#include "x11/xcb_reply.h"

#include <chrono>
#include <cstdlib>
#include <poll.h>
#include <string>

namespace velmora::x11 {

// False when DONE still does not hold after a generous deadline.
template <typename Done> bool pumpUntil(X11Connection& connection, Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        pollfd fd{connection.fileDescriptor(), POLLIN, 0};
        poll(&fd, 1, 50);
        connection.pump();
    }
    return true;
}

// Returns once the server has handled every request sent before on C.
inline void roundTrip(xcb_connection_t* c) {
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

inline xcb_atom_t internAtom(xcb_connection_t* c, const std::string& name) {
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

} // namespace velmora::x11
