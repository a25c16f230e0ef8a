#pragma once
// Services that X11 does not give us yet.
//
// The global event monitor needs XInput2 raw events (libxcb-xinput), which this build does not
// use yet: handlers are kept but never called, so the mouse-up and modifier-key features stay
// silent on X11. The system cursor's hot spot needs XFixes cursor images (libxcb-xfixes); until
// then it is unknown, which the core treats like a cursor it cannot read.

#include "platform/cursor.h"
#include "platform/event_monitor.h"

#include <utility>
#include <vector>

namespace velmora::x11 {

class X11EventMonitor final : public EventMonitor {
  public:
    void addGlobalMonitorForEventsMatchingMask(std::uint64_t mask, Handler handler) override {
        handlers_.emplace_back(mask, std::move(handler));
    }

  private:
    std::vector<std::pair<std::uint64_t, Handler>> handlers_;
};

class X11Cursor final : public SystemCursor {
  public:
    std::optional<Point> currentSystemCursorHotSpot() override { return std::nullopt; }
};

} // namespace velmora::x11
