// SPDX-License-Identifier: MIT
#pragma once
// A second client on the display under test, on a connection of its own: the keyboard and
// mouse that XTest drives, as a user's would.

#include "pump_until.h"
#include "x11/xcb_xkb.h"

#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-x11.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace velmora::x11 {

class XTestClient {
  public:
    XTestClient() {
        std::string error;
        connection_ = X11Connection::open("", &error);
        if (!connection_)
            ADD_FAILURE() << error;
    }
    xcb_connection_t* xcb() const { return connection_->xcb(); }
    xcb_window_t root() const { return connection_->root(); }

    // The key code of the key with that XKB name ("AC01", "LCTL") in the current keymap.
    xcb_keycode_t keycodeOfName(const char* name) {
        xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        xkb_keymap* keymap = xkb_x11_keymap_new_from_device(
            context, xcb(), connection_->xkbDeviceId(), XKB_KEYMAP_COMPILE_NO_FLAGS);
        xkb_keycode_t keycode = keymap ? xkb_keymap_key_by_name(keymap, name) : 0;
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
        EXPECT_NE(keycode, 0u) << name;
        return static_cast<xcb_keycode_t>(keycode);
    }

    // Sets the locked modifiers as Caps Lock and Num Lock keys would; 0 unlocks them all.
    void lockModifiers(std::uint8_t mask) {
        xcb_xkb_latch_lock_state(xcb(), XCB_XKB_ID_USE_CORE_KBD, 0xFF, mask, 0, 0, 0, 0, 0);
        sync();
    }

  protected:
    // X and Y place the pointer of a motion; other events ignore them.
    void fake(std::uint8_t type, std::uint8_t detail, std::int16_t x = 0, std::int16_t y = 0) {
        xcb_test_fake_input(xcb(), type, detail, XCB_CURRENT_TIME, root(), x, y, 0);
    }
    // Everything sent so far has reached the server.
    void sync() { roundTrip(xcb()); }

    std::unique_ptr<X11Connection> connection_;
};

} // namespace velmora::x11
