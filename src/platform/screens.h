// SPDX-License-Identifier: MIT
#pragma once
// Displays.

#include "platform/event_monitor.h"

#include <cstdint>
#include <optional>

namespace velmora {

struct Screen {
    std::int32_t number = 0; // "NSScreenNumber" of the device description; stable per display
    Rect frame;              // global coordinates, origin at the bottom left
};

class Screens {
  public:
    Screens() = default;
    Screens(const Screens&) = delete;
    Screens& operator=(const Screens&) = delete;
    virtual ~Screens() = default;

    // The screen holding the window with keyboard focus; none when there is no screen. Any
    // thread: the address-bar check asks from the global queue.
    virtual std::optional<Screen> mainScreen() = 0;
    // The screen with the greatest colour depth; none when there is no screen.
    virtual std::optional<Screen> deepestScreen() = 0;
    // The screen at the desktop's origin, the one whose top edge both coordinate systems
    // share: a top-left y turns into a bottom-left one by its height, whatever screen the
    // point is on. None when there is no screen. Any thread.
    virtual std::optional<Screen> originScreen() = 0;
};

} // namespace velmora
