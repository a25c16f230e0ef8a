// SPDX-License-Identifier: MIT
#pragma once
// Where a stored hotkey's key sits on the keyboard. Stored shortcuts name a key by the virtual
// key code of an ANSI keyboard (A = 0, S = 1, ...), so that a settings file moves between
// desktops unchanged; on X11 the same physical position has an XKB key name ("AC01" for A),
// which every keymap resolves to its own X key code. Positions, not symbols: the agent changes
// layouts, and a shortcut must stay on the same key whichever layout is active.

#include <cstdint>
#include <span>
#include <string_view>

namespace velmora::x11 {

struct KeyPosition {
    std::int64_t keyCode;     // the stored virtual key code
    std::string_view xkbName; // the XKB name of the position ("AC01", "FK01", "LEFT")
    std::string_view label;   // what the desktop usually calls the key ("A", "F1", "Left")
};

// Every position the agent knows, each key code and each XKB name once.
std::span<const KeyPosition> keyPositions();
// The position of a stored key code; nullptr for a code no known key has.
const KeyPosition* keyPositionOfKeyCode(std::int64_t keyCode);
// The position with this XKB name, compared exactly; nullptr when there is none.
const KeyPosition* keyPositionOfXkbName(std::string_view name);

} // namespace velmora::x11
