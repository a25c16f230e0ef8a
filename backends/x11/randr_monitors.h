// SPDX-License-Identifier: MIT
#pragma once
// The monitors of the X screen as RandR 1.5 lists them, asked afresh at every read: any client
// may add, move or remove a monitor at any moment (xrandr --setmonitor) and the server tells
// nobody. Without RandR 1.5, or with an empty list, the whole root window is the one monitor.
// Nothing changes after construction, so any thread may read.

#include "x11_connection.h"

#include <xcb/randr.h>

#include <cstdint>
#include <vector>

namespace velmora::x11 {

struct RandrMonitor {
    // The atom of its RandR name; the X screen's number plus one for the root window.
    std::int32_t number = 0;
    std::int32_t x = 0; // top-left origin, root window coordinates
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool primary = false;

    bool holds(double px, double py) const {
        return px >= x && px < double(x) + width && py >= y && py < double(y) + height;
    }
};

class RandrMonitors {
  public:
    explicit RandrMonitors(X11Connection& connection);

    // The requests go out at once and the replies are read by take(), so that a caller can
    // have its own requests answered in the same round trip.
    struct Pending {
        xcb_get_geometry_cookie_t root{};
        xcb_randr_get_monitors_cookie_t monitors{};
        bool asked = false;
    };
    Pending ask() const;
    std::vector<RandrMonitor> take(const Pending& pending) const;
    // For a question whose answer is no longer wanted.
    void discard(const Pending& pending) const;
    std::vector<RandrMonitor> read() const { return take(ask()); }

  private:
    X11Connection& connection_;
    bool hasMonitors_ = false;
};

// Global coordinates with a bottom-left origin are measured up from the bottom of the monitor
// at the desktop's origin: the primary monitor when it holds (0,0), else the first that does.
// Window bounds have their origin at its top left; with monitors of different heights any
// other monitor's height would put points off by the difference. Null when none holds (0,0).
const RandrMonitor* originMonitor(const std::vector<RandrMonitor>& monitors);

// The height that turns a top-left y into a bottom-left one: the origin monitor's, else the
// tallest extent of the monitors (a layout that leaves the origin uncovered).
std::int32_t originHeight(const std::vector<RandrMonitor>& monitors);

} // namespace velmora::x11
