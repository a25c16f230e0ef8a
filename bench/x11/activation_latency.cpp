// SPDX-License-Identifier: MIT
// Measures how long a keyboard layout takes to follow an activation, on the display in $DISPLAY.
//
//   velmora_bench_activation WINDOW-A GROUP-A WINDOW-B GROUP-B COUNT
//       activates A and B in turn, COUNT times in all, each time timing from the activation
//       request to the XKB state notify that shows the group the agent must select
//   velmora_bench_activation --lock COUNT
//       the baseline: locks groups 1 and 2 in turn itself and times the same notify
//
// The activation request is the one `xdotool windowactivate` sends (a pager's
// _NET_ACTIVE_WINDOW message), sent from here so that starting a process is not timed.
// Times are CLOCK_MONOTONIC; prints the median, minimum and maximum in milliseconds. With
// activations it also reports when the window manager changed _NET_ACTIVE_WINDOW, and splits
// each sample where the window got the input focus, the first moment a switcher can hear of
// the activation: before it is the window manager's part, after it the switcher's own.

#include "xcb_tool.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <thread>
#include <time.h>
#include <vector>

namespace {

using velmora::xcb_tool::fail;
using velmora::xcb_tool::nowMs;
using velmora::xcb_tool::report;

class Display {
  public:
    Display() {
        connection_ = xcb_connect(nullptr, &screenNumber_);
        if (xcb_connection_has_error(connection_))
            fail("cannot connect to $DISPLAY");
        auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
        for (int i = 0; i < screenNumber_; ++i)
            xcb_screen_next(&screens);
        root_ = screens.data->root;
        auto* xkb = xcb_xkb_use_extension_reply(connection_,
                                                xcb_xkb_use_extension(connection_, 1, 0), nullptr);
        if (!xkb || !xkb->supported)
            fail("the display has no XKB");
        std::free(xkb);
        xkbEvent_ = xcb_get_extension_data(connection_, &xcb_xkb_id)->first_event;
        xcb_xkb_select_events_details_t details{};
        details.affectState = XCB_XKB_STATE_PART_GROUP_LOCK;
        details.stateDetails = XCB_XKB_STATE_PART_GROUP_LOCK;
        xcb_xkb_select_events_aux(connection_, XCB_XKB_ID_USE_CORE_KBD,
                                  XCB_XKB_EVENT_TYPE_STATE_NOTIFY, 0, 0, 0, 0, &details);
        const char* name = "_NET_ACTIVE_WINDOW";
        auto* atom = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr);
        activeWindow_ = atom->atom;
        std::free(atom);
        std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
    }
    ~Display() { xcb_disconnect(connection_); }

    void requestActivation(xcb_window_t window) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.window = window;
        message.format = 32;
        message.type = activeWindow_;
        message.data.data32[0] = 2; // from a pager, as xdotool says
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection_, 0, root_,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(connection_);
    }

    void lockGroup(std::uint8_t group) {
        xcb_xkb_latch_lock_state(connection_, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, group, 0, 0, 0);
        xcb_flush(connection_);
    }

    // Focus events of WINDOW, the one about to be activated.
    void watchFocus(xcb_window_t window) {
        std::uint32_t mask = XCB_EVENT_MASK_FOCUS_CHANGE;
        xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
    }

    // Waits for the state notify that shows GROUP locked; false after 10 s. Notes when the
    // active window changed on the way in ACTIVATED, and when WINDOW got the focus in FOCUSED.
    bool waitForGroup(std::uint8_t group, double* activated = nullptr,
                      xcb_window_t window = XCB_WINDOW_NONE, double* focused = nullptr) {
        double end = nowMs() + 10000;
        while (nowMs() < end) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                bool reached = false;
                if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
                    auto* property = reinterpret_cast<xcb_property_notify_event_t*>(event);
                    if (activated && property->atom == activeWindow_ && *activated == 0)
                        *activated = nowMs();
                } else if ((event->response_type & 0x7F) == XCB_FOCUS_IN) {
                    auto* focus = reinterpret_cast<xcb_focus_in_event_t*>(event);
                    if (focused && focus->event == window && *focused == 0)
                        *focused = nowMs();
                } else if ((event->response_type & 0x7F) == xkbEvent_) {
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

    // Throws away what arrived while nothing was timed.
    void drain() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_))
            std::free(event);
    }

  private:
    xcb_connection_t* connection_ = nullptr;
    int screenNumber_ = 0;
    xcb_window_t root_ = 0;
    std::uint8_t xkbEvent_ = 0;
    xcb_atom_t activeWindow_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    Display display;
    std::vector<double> samples;
    // Leave the agent time for its window refresh and timers between rounds.
    auto settle = [] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); };
    if (args.size() == 2 && args[0] == "--lock") {
        int count = std::atoi(args[1].c_str());
        for (int i = 0; i < count; ++i) {
            auto group = static_cast<std::uint8_t>(i % 2 ? 2 : 1);
            display.drain();
            double start = nowMs();
            display.lockGroup(group);
            if (!display.waitForGroup(group))
                fail("no state notify for a lock");
            samples.push_back(nowMs() - start);
            settle();
        }
        report("direct lock", samples);
        return 0;
    }
    if (args.size() != 5)
        fail("usage: WINDOW-A GROUP-A WINDOW-B GROUP-B COUNT | --lock COUNT");
    xcb_window_t windows[2] = {
        static_cast<xcb_window_t>(std::strtoul(args[0].c_str(), nullptr, 0)),
        static_cast<xcb_window_t>(std::strtoul(args[2].c_str(), nullptr, 0))};
    std::uint8_t groups[2] = {static_cast<std::uint8_t>(std::atoi(args[1].c_str())),
                              static_cast<std::uint8_t>(std::atoi(args[3].c_str()))};
    int count = std::atoi(args[4].c_str());
    display.watchFocus(windows[0]);
    display.watchFocus(windows[1]);
    std::vector<double> published;
    std::vector<double> windowManager;
    std::vector<double> switcher;
    for (int i = 0; i < count; ++i) {
        int which = i % 2;
        display.drain();
        double activated = 0;
        double focused = 0;
        double start = nowMs();
        display.requestActivation(windows[which]);
        if (!display.waitForGroup(groups[which], &activated, windows[which], &focused))
            fail("the layout did not follow activation " + std::to_string(i + 1));
        const double end = nowMs();
        samples.push_back(end - start);
        if (activated > 0)
            published.push_back(activated - start);
        if (focused > 0) {
            windowManager.push_back(focused - start);
            switcher.push_back(end - focused);
        }
        settle();
    }
    report("activation to layout", samples);
    if (!published.empty())
        report("activation to _NET_ACTIVE_WINDOW", published);
    if (!windowManager.empty()) {
        report("activation to focus (window manager)", windowManager);
        report("focus to layout (switcher)", switcher);
    }
    return 0;
}
