// SPDX-License-Identifier: MIT
#pragma once
// What the hotkeys need of the server's keyboard: which X key code each stored key position
// has on the current keymap, and which modifier bits carry Alt, Super, Num Lock and Scroll
// Lock. Read whole from the server and compared whole, so a keymap change that leaves all of
// this as it was changes nothing.

#include "x11_connection.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

struct xkb_context;

namespace velmora::x11 {

struct ModifierBits {
    std::uint16_t alt = 0;        // the X modifier that Option stands for
    std::uint16_t super = 0;      // the X modifier that Command stands for
    std::uint16_t numLock = 0;    // 0 when no modifier holds Num_Lock
    std::uint16_t scrollLock = 0; // 0 when no modifier holds Scroll_Lock

    bool operator==(const ModifierBits&) const = default;
};

class X11Keymap {
  public:
    // Reads the keymap of CONNECTION's core keyboard; none when the server has no XKB or the
    // keymap cannot be read.
    static std::optional<X11Keymap> read(X11Connection& connection, xkb_context* context);
    // A keymap of the given positions and modifiers, for callers that already know them.
    X11Keymap(std::map<std::int64_t, std::uint8_t> keycodes, ModifierBits modifiers);

    std::optional<std::uint8_t> x11KeycodeOfKeyCode(std::int64_t keyCode) const;
    std::optional<std::int64_t> keyCodeOfX11Keycode(std::uint32_t x11Keycode) const;
    const ModifierBits& modifiers() const { return modifiers_; }
    // The X modifiers of stored FLAGS (the four known masks; other bits are ignored).
    std::uint16_t x11ModifiersOf(std::int64_t flags) const;
    // Shift, Control, Alt and Super: the bits a key press is compared on.
    std::uint16_t comparedModifiers() const;

    bool operator==(const X11Keymap&) const = default;

  private:
    std::map<std::int64_t, std::uint8_t> keycodeOfKeyCode_;
    std::map<std::uint8_t, std::int64_t> keyCodeOfKeycode_;
    ModifierBits modifiers_;
};

} // namespace velmora::x11
