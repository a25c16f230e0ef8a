// SPDX-License-Identifier: MIT
#pragma once
// Tests on a live display hand the connection's events to the services until what they wait
// for has happened. The deadline only stops a broken test from hanging; it judges no timing.

#include "x11/x11_connection.h"

#include <chrono>
#include <poll.h>

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

} // namespace velmora::x11
