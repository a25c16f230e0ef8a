// SPDX-License-Identifier: MIT
#pragma once
// Stored shortcuts as sway bindings. A stored shortcut names a key position (key_positions.h);
// sway's bindcode takes the key code that position has under the evdev rules, which every
// sway keymap uses, so the binding stays on the key whichever layout is active.

#include "platform/property_list.h"

#include <cstdint>
#include <optional>
#include <string>

struct xkb_keymap;

namespace velmora::program {

class SwayKeyCombos {
  public:
    SwayKeyCombos();
    ~SwayKeyCombos();
    SwayKeyCombos(const SwayKeyCombos&) = delete;
    SwayKeyCombos& operator=(const SwayKeyCombos&) = delete;

    // "Mod4+Ctrl+Mod1+Shift+38" for Command-Control-Option-Shift-A; none with PROBLEM set for
    // a value that is no stored shortcut or names a key that has no position.
    std::optional<std::string> combination(const PlistValue& combo, std::string* problem) const;

    // The stored key code of the key with the native (evdev + 8) key code; none for a key that
    // has no known position. What the shortcut recorder stores.
    std::optional<std::int64_t> storedKeyCode(std::uint32_t nativeKeyCode) const;

  private:
    xkb_keymap* keymap_ = nullptr;
};

} // namespace velmora::program
