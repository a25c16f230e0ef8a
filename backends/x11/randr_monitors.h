#pragma once
// The monitors of the X screen as RandR 1.5 lists them, with the root window's size. Read
// fresh at every call (monitors come and go); without RandR 1.5 the list is empty and the
// root window stands for the one monitor. Any thread.

#include "x11_connection.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::x11 {

struct RandrMonitor {
    std::uint32_t name = 0;                           // the atom of its RandR name
    std::int32_t x = 0, y = 0, width = 0, height = 0; // top-left origin
    bool primary = false;
};

struct MonitorLayout {
    std::int32_t rootWidth = 0;
    std::int32_t rootHeight = 0;
    std::vector<RandrMonitor> monitors;
};

class RandrMonitors {
  public:
    explicit RandrMonitors(X11Connection& connection);
    MonitorLayout read();

  private:
    X11Connection& connection_;
    bool hasMonitors_ = false;
};

// Global coordinates with a bottom-left origin are measured up from the bottom of the screen
// at the desktop's origin: the primary monitor when it holds (0,0), else the first that does,
// else the whole root window.
double originScreenHeight(const MonitorLayout& layout);

} // namespace velmora::x11
