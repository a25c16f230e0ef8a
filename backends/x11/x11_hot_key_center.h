// SPDX-License-Identifier: MIT
#pragma once
// Global hotkeys on X11: passive key grabs on the root window, one per stored combination and
// per state of the lock modifiers (Caps Lock, Num Lock, Scroll Lock), so that a shortcut works
// whichever locks are on. Keys are stored as positions (key_positions.h) and found on the
// server's current keymap; when the keymap changes, the grabs follow it.

#include "x11_connection.h"
#include "x11_keymap.h"

#include "platform/hot_keys.h"
#include "platform/run_loop.h"

#include <compare>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct xkb_context;

namespace velmora::x11 {

class X11GlobalShortcuts final : public GlobalShortcuts {
  public:
    using Log = std::function<void(const std::string& line)>;
    // setxkbmap and desktop settings change the keymap in a burst of events: the grabs follow
    // once the burst has settled this long.
    static constexpr Milliseconds kKeymapSettleDelay{100};

    X11GlobalShortcuts(X11Connection& connection, RunLoop& runLoop, Log log);
    ~X11GlobalShortcuts() override;
    X11GlobalShortcuts(const X11GlobalShortcuts&) = delete;
    X11GlobalShortcuts& operator=(const X11GlobalShortcuts&) = delete;

    void registerHotKey(const HotKeyPtr& hotKey) override;
    void unregisterHotKey(const HotKeyPtr& hotKey) override;
    HotKeyPtr hotKeyWithIdentifier(const std::string& identifier) override;

    // The stored key code of the key with this X key code (a key event's detail, Qt's native
    // scan code) on the current keymap; none for a key the table does not know.
    std::optional<std::int64_t> keyCodeOfX11Keycode(std::uint32_t x11Keycode) const;
    // The X key code of a stored key code on the current keymap.
    std::optional<std::uint32_t> x11KeycodeOfKeyCode(std::int64_t keyCode) const;
    // Whether HOTKEY's combination is grabbed and would fire (not refused, not unusable).
    bool isActive(const HotKeyPtr& hotKey) const;

  private:
    struct Grab {
        std::uint8_t keycode = 0;
        std::uint16_t modifiers = 0; // without any lock bit
        auto operator<=>(const Grab&) const = default;
    };
    struct HeldGrab {
        std::vector<std::uint16_t> lockStates; // the lock bits it was grabbed with
        bool refused = false;
    };
    struct Registration {
        HotKeyPtr hotKey;
        std::optional<Grab> grab; // none: kept registered, never grabbed
    };

    void onEvent(const xcb_generic_event_t& event);
    void keyPressed(const xcb_key_press_event_t& event);
    void keymapMayHaveChanged();
    void followKeymap();
    std::optional<Grab> grabFor(const GlobalShortcut& hotKey);
    void syncGrabs();
    void grabOnServer(const Grab& grab, HeldGrab& held, const std::string& what);
    void ungrabOnServer(const Grab& grab, const HeldGrab& held);
    std::vector<std::uint16_t> lockStates() const;
    void sayOnce(const std::string& line);

    X11Connection& connection_;
    RunLoop& runLoop_;
    Log log_;
    xkb_context* context_ = nullptr;
    std::optional<X11Keymap> keymap_;
    std::vector<Registration> registrations_;
    std::map<Grab, HeldGrab> held_;
    std::shared_ptr<Timer> settleTimer_;
    std::set<std::string> said_;
    // The connection keeps its event handlers for its whole life; they reach this centre
    // through this pointer, cleared when the centre goes.
    std::shared_ptr<X11GlobalShortcuts*> self_;
};

} // namespace velmora::x11
