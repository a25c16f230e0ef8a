// The X client the end-to-end tests drive the desktop with:
//   windows CLASS COUNT [--bad-names] [--no-wait]   map COUNT windows of WM_CLASS class CLASS
//        ("" for none), print their ids once the window manager manages them, then stay
//   watch-groups      print the locked XKB group now and after every change
//   lock GROUP        lock GROUP, as a user's layout switch does
//   group             print the locked XKB group

#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "e2e_client: %s\n", message.c_str());
    std::exit(2);
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply)
        fail(std::string("cannot intern ") + name);
    xcb_atom_t result = reply->atom;
    std::free(reply);
    return result;
}

void setProperty(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
                 const std::string& bytes) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8,
                        static_cast<std::uint32_t>(bytes.size()), bytes.data());
}

bool isManaged(xcb_connection_t* c, xcb_window_t w, xcb_atom_t wmState) {
    auto* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, wmState, wmState, 0, 2), nullptr);
    bool managed = reply && reply->type == wmState;
    std::free(reply);
    return managed;
}

int windows(xcb_connection_t* c, xcb_screen_t* screen, const std::vector<std::string>& args) {
    if (args.size() < 2)
        fail("usage: windows CLASS COUNT [--bad-names] [--no-wait]");
    std::string cls = args[0];
    int count = std::atoi(args[1].c_str());
    bool badNames = false, wait = true;
    for (std::size_t i = 2; i < args.size(); ++i) {
        badNames = badNames || args[i] == "--bad-names";
        wait = wait && args[i] != "--no-wait";
    }
    xcb_atom_t wmState = atom(c, "WM_STATE");
    xcb_atom_t netWmName = atom(c, "_NET_WM_NAME");
    xcb_atom_t utf8 = atom(c, "UTF8_STRING");
    xcb_atom_t netWmPid = atom(c, "_NET_WM_PID");
    std::vector<xcb_window_t> created;
    for (int i = 0; i < count; ++i) {
        xcb_window_t w = xcb_generate_id(c);
        std::uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_PROPERTY_CHANGE};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 40 + 30 * i, 40 + 30 * i, 240,
                          160, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        std::string title = (cls.empty() ? "nameless" : cls) + " " + std::to_string(i + 1);
        if (badNames) {
            setProperty(c, w, netWmName, utf8, "caf\xE9 \xFF title"); // not UTF-8
            setProperty(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "caf\xE9");
        } else {
            setProperty(c, w, netWmName, utf8, title);
            setProperty(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
        }
        if (!cls.empty()) {
            std::string wmClass = "e2e-window";
            wmClass += '\0';
            wmClass += cls;
            wmClass += '\0';
            setProperty(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass);
        }
        auto pid = static_cast<std::uint32_t>(getpid());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, netWmPid, XCB_ATOM_CARDINAL, 32, 1, &pid);
        xcb_icccm_wm_hints_t hints{};
        xcb_icccm_wm_hints_set_input(&hints, 1);
        xcb_icccm_wm_hints_set_normal(&hints);
        xcb_icccm_set_wm_hints(c, w, &hints);
        xcb_map_window(c, w);
        created.push_back(w);
    }
    xcb_flush(c);
    // Activating a window that the window manager has not taken on yet does nothing.
    for (xcb_window_t w : created) {
        while (wait && !isManaged(c, w, wmState)) {
            xcb_generic_event_t* event = xcb_wait_for_event(c);
            if (!event)
                fail("lost the display");
            std::free(event);
        }
        std::printf("%u\n", w);
    }
    std::fflush(stdout);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c))
        std::free(event);
    return 0;
}

std::uint8_t lockedGroup(xcb_connection_t* c) {
    auto* state =
        xcb_xkb_get_state_reply(c, xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD), nullptr);
    if (!state)
        fail("cannot read the XKB state");
    std::uint8_t group = state->lockedGroup;
    std::free(state);
    return group;
}

int watchGroups(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(c, &xcb_xkb_id);
    xcb_xkb_select_events_details_t details{};
    details.affectState = XCB_XKB_STATE_PART_GROUP_LOCK;
    details.stateDetails = XCB_XKB_STATE_PART_GROUP_LOCK;
    xcb_xkb_select_events_aux(c, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_EVENT_TYPE_STATE_NOTIFY, 0, 0, 0,
                              0, &details);
    std::uint8_t last = lockedGroup(c); // after selecting: no change slips between
    std::printf("%u\n", last);
    std::fflush(stdout);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        if ((event->response_type & 0x7F) == xkb->first_event) {
            auto* state = reinterpret_cast<xcb_xkb_state_notify_event_t*>(event);
            if (state->xkbType == XCB_XKB_STATE_NOTIFY && state->lockedGroup != last) {
                last = state->lockedGroup;
                std::printf("%u\n", last);
                std::fflush(stdout);
            }
        }
        std::free(event);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        fail("usage: e2e_client windows|watch-groups|lock|group ...");
    std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c))
        fail("cannot connect to the display");
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    auto* version = xcb_xkb_use_extension_reply(c, xcb_xkb_use_extension(c, 1, 0), nullptr);
    bool haveXkb = version && version->supported;
    std::free(version);
    int status = 0;
    if (command == "windows") {
        status = windows(c, screens.data, args);
    } else if (!haveXkb) {
        fail("the display has no XKB");
    } else if (command == "watch-groups") {
        status = watchGroups(c);
    } else if (command == "group") {
        std::printf("%u\n", lockedGroup(c));
    } else if (command == "lock" && args.size() == 1) {
        xcb_xkb_latch_lock_state(c, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1,
                                 static_cast<std::uint8_t>(std::atoi(args[0].c_str())), 0, 0, 0);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // round trip
    } else {
        fail("unknown command " + command);
    }
    xcb_disconnect(c);
    return status;
}
