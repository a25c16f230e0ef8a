// SPDX-License-Identifier: MIT
#pragma once
// The pointer's current shape, whatever application set it.

#include "platform/event_monitor.h"

#include <optional>
#include <string>

namespace velmora {

class SystemCursor {
  public:
    SystemCursor() = default;
    SystemCursor(const SystemCursor&) = delete;
    SystemCursor& operator=(const SystemCursor&) = delete;
    virtual ~SystemCursor() = default;

    // Hot spot of the current system cursor; none when it cannot be read. Any thread.
    virtual std::optional<Point> currentSystemCursorHotSpot() = 0;
    // The name the cursor's theme gave the current cursor ("xterm", "left_ptr"); none when it
    // has no name or the platform does not name cursors. Any thread.
    virtual std::optional<std::string> currentSystemCursorName() { return std::nullopt; }
};

} // namespace velmora
