// SPDX-License-Identifier: MIT
// Measures how long a keyboard layout takes to follow a hotkey, on the display in $DISPLAY
// where run-bench.sh started the agent with two stored shortcuts: Ctrl+Alt+K selects ru
// (group 2) and Ctrl+Shift+F1 selects de (group 1).
//
//   velmora_bench_hotkey COUNT
//       presses the two in turn through XTest, COUNT times in all, each time timing from the
//       key press to the XKB state notify that shows the hotkey's group; then, in the same
//       run, locks the same groups itself COUNT times as the baseline
//
// Keys are found by their XKB names on the display's keymap, as the agent finds them. Times
// are CLOCK_MONOTONIC; prints the median, minimum and maximum in milliseconds.

#include "xcb_tool.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-x11.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <thread>
#include <time.h>
#include <vector>

namespace {

using velmora::xcb_tool::fail;
using velmora::xcb_tool::nowMs;
using velmora::xcb_tool::report;

class Keyboard {
  public:
    Keyboard() {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_))
            fail("cannot connect to $DISPLAY");
        if (!xkb_x11_setup_xkb_extension(connection_, 1, 0, XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS,
                                         nullptr, nullptr, &xkbEvent_, nullptr))
            fail("the display has no XKB");
        xcb_xkb_select_events_details_t details{};
        details.affectState = XCB_XKB_STATE_PART_GROUP_LOCK;
        details.stateDetails = XCB_XKB_STATE_PART_GROUP_LOCK;
        xcb_xkb_select_events_aux(connection_, XCB_XKB_ID_USE_CORE_KBD,
                                  XCB_XKB_EVENT_TYPE_STATE_NOTIFY, 0, 0, 0, 0, &details);
        xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        keymap_ = xkb_x11_keymap_new_from_device(context, connection_,
                                                 xkb_x11_get_core_keyboard_device_id(connection_),
                                                 XKB_KEYMAP_COMPILE_NO_FLAGS);
        xkb_context_unref(context);
        if (!keymap_)
            fail("cannot read the keymap");
    }
    ~Keyboard() {
        xkb_keymap_unref(keymap_);
        xcb_disconnect(connection_);
    }

    xcb_keycode_t key(const char* name) const {
        xkb_keycode_t keycode = xkb_keymap_key_by_name(keymap_, name);
        if (keycode == XKB_KEYCODE_INVALID || keycode > 255)
            fail(std::string("no key ") + name);
        return static_cast<xcb_keycode_t>(keycode);
    }

    // Presses MODIFIERS, then KEY, and lets go of them in reverse, as a hand would.
    void press(xcb_keycode_t key, const std::vector<xcb_keycode_t>& modifiers) {
        for (xcb_keycode_t m : modifiers)
            fake(XCB_KEY_PRESS, m);
        fake(XCB_KEY_PRESS, key);
        fake(XCB_KEY_RELEASE, key);
        for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
            fake(XCB_KEY_RELEASE, *m);
        xcb_flush(connection_);
    }

    void lockGroup(std::uint8_t group) {
        xcb_xkb_latch_lock_state(connection_, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, group, 0, 0, 0);
        xcb_flush(connection_);
    }

    // Waits for the state notify that shows GROUP locked; false after 10 s.
    bool waitForGroup(std::uint8_t group) {
        double end = nowMs() + 10000;
        while (nowMs() < end) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                bool reached = false;
                if ((event->response_type & 0x7F) == xkbEvent_) {
                    auto* state = reinterpret_cast<xcb_xkb_state_notify_event_t*>(event);
                    reached = state->xkbType == XCB_XKB_STATE_NOTIFY && state->lockedGroup == group;
                }
                std::free(event);
                if (reached)
                    return true;
            }
            pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
            poll(&fd, 1, 100);
        }
        return false;
    }

    void drain() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_))
            std::free(event);
    }

  private:
    void fake(std::uint8_t type, xcb_keycode_t keycode) {
        xcb_test_fake_input(connection_, type, keycode, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    }

    xcb_connection_t* connection_ = nullptr;
    std::uint8_t xkbEvent_ = 0;
    xkb_keymap* keymap_ = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::atoi(argv[1]) < 1)
        fail("usage: velmora_bench_hotkey COUNT");
    const int count = std::atoi(argv[1]);
    Keyboard keyboard;
    struct Hotkey {
        xcb_keycode_t key;
        std::vector<xcb_keycode_t> modifiers;
        std::uint8_t group;
    };
    const Hotkey hotkeys[2] = {
        {keyboard.key("AC08"), {keyboard.key("LCTL"), keyboard.key("LALT")}, 2},
        {keyboard.key("FK01"), {keyboard.key("LCTL"), keyboard.key("LFSH")}, 1}};
    // Leave the agent time for its indicator refresh and timers between rounds.
    auto settle = [] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); };

    keyboard.lockGroup(0);
    settle();
    std::vector<double> samples;
    for (int i = 0; i < count; ++i) {
        const Hotkey& hotkey = hotkeys[i % 2];
        keyboard.drain();
        double start = nowMs();
        keyboard.press(hotkey.key, hotkey.modifiers);
        if (!keyboard.waitForGroup(hotkey.group))
            fail("the layout did not follow hotkey press " + std::to_string(i + 1));
        samples.push_back(nowMs() - start);
        settle();
    }
    report("hotkey to layout", samples);

    samples.clear();
    for (int i = 0; i < count; ++i) {
        const std::uint8_t group = hotkeys[i % 2].group;
        keyboard.drain();
        double start = nowMs();
        keyboard.lockGroup(group);
        if (!keyboard.waitForGroup(group))
            fail("no state notify for a lock");
        samples.push_back(nowMs() - start);
        settle();
    }
    report("direct lock", samples);
    return 0;
}
