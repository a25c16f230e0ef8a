// SPDX-License-Identifier: MIT
#pragma once
// Global mouse-up and modifier-key events through XInput 2 raw events on the root window. Raw
// events reach us whatever window has the focus and without a grab, so no other program loses
// a key or a click to the agent.
//
// The core reads modifier flags as the raw device-dependent word it was written for: the
// device-independent masks plus one bit per left/right key, and 0x100 always set, so that
// "no modifier held" reads 0x100 (0x10100 with Caps Lock on). The flags are tracked here per
// key code from the keymap's keysyms; the server's own modifier state cannot tell left from
// right.

#include "platform/event_monitor.h"
#include "randr_monitors.h"
#include "x11_connection.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct xkb_context;

namespace velmora::x11 {

enum class ModifierKey : std::uint8_t {
    None,
    ShiftLeft,
    ShiftRight,
    ControlLeft,
    ControlRight,
    OptionLeft,
    OptionRight,
    CommandLeft,
    CommandRight,
    CapsLock,
};

// Shift_L/R, Control_L/R, Alt_L/R (Option), Super_L/R (Command) and Caps_Lock; None for the rest.
ModifierKey modifierKeyOfKeysym(std::uint32_t keysym);

// Raw flag bits while KEY is held (Caps Lock: while it is locked).
std::uint64_t rawFlagsOf(ModifierKey key);

inline constexpr std::uint64_t kRawFlagsNoModifier = 0x100;

// Which modifier keys are down, by key code, and the flags they make.
class ModifierKeyState {
  public:
    // The flags after the event, or none when the event left them as they were (a repeat of a
    // held key, the release of a key pressed before we listened, Caps Lock's release).
    std::optional<std::uint64_t> keyPressed(std::uint32_t keycode, ModifierKey key);
    std::optional<std::uint64_t> keyReleased(std::uint32_t keycode);
    void setCapsLockOn(bool on) { capsLock_ = on; }
    std::uint64_t flags() const;

  private:
    // The key as it was when pressed: a keymap change while it is held still releases it.
    std::array<ModifierKey, 256> held_{};
    bool capsLock_ = false;
};

class X11EventMonitor final : public EventMonitor {
  public:
    using Log = std::function<void(const std::string&)>;

    X11EventMonitor(X11Connection& connection, Log log);
    ~X11EventMonitor() override;

    void addGlobalMonitor(std::uint64_t mask, Handler handler) override;

    // Whether the server has XInput 2; without it no handler is ever called.
    bool listening() const { return xinputOpcode_ != 0; }

  private:
    void onEvent(const xcb_generic_event_t& event);
    void selectRawEvents();
    void rawKey(bool press, std::uint32_t keycode, std::uint32_t time);
    void rawButtonReleased(std::uint32_t button, std::uint32_t time);
    ModifierKey modifierKeyOfKeycode(std::uint32_t keycode);
    void readKeymap();
    void deliver(const Event& event, std::uint64_t typeMask);

    X11Connection& connection_;
    Log log_;
    std::shared_ptr<X11EventMonitor*> self_;
    const RandrMonitors monitors_;
    std::uint8_t xinputOpcode_ = 0;
    std::uint32_t selectedMask_ = 0;
    std::vector<std::pair<std::uint64_t, Handler>> handlers_;
    ModifierKeyState modifiers_;
    xkb_context* context_ = nullptr;
    bool keymapStale_ = true;
    std::array<ModifierKey, 256> keyOfKeycode_{};
};

} // namespace velmora::x11
