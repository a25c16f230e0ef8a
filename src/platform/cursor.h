#pragma once
// The pointer's current shape, whatever application set it.

#include "platform/event_monitor.h"

#include <optional>

namespace velmora {

class SystemCursor {
  public:
    SystemCursor() = default;
    SystemCursor(const SystemCursor&) = delete;
    SystemCursor& operator=(const SystemCursor&) = delete;
    virtual ~SystemCursor() = default;

    // Hot spot of the current system cursor; none when it cannot be read. Any thread.
    virtual std::optional<Point> currentSystemCursorHotSpot() = 0;
};

} // namespace velmora
