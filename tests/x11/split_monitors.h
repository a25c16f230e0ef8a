// SPDX-License-Identifier: MIT
#pragma once
// Splits the test display's X screen (1280x800) into two RandR monitors of different heights,
// side by side, and puts the one monitor back when it goes: LEFT at the origin, 640x600,
// primary and holding the output (whose own monitor then goes), and RIGHT beside it, 640x800.
// A point below y 600 is on RIGHT alone.

#include "pump_until.h"

#include <xcb/randr.h>
#include <xcb/xcbext.h>

#include <sys/uio.h>

#include <cstring>
#include <vector>

namespace velmora::x11 {

class SplitMonitors {
  public:
    explicit SplitMonitors(X11Connection& connection) : connection_(connection) {
        xcb_connection_t* c = connection_.xcb();
        left = internAtom(c, "VELMORA-TEST-LEFT");
        right = internAtom(c, "VELMORA-TEST-RIGHT");
        XcbReply<xcb_randr_get_screen_resources_current_reply_t> resources(
            xcb_randr_get_screen_resources_current_reply(
                c, xcb_randr_get_screen_resources_current(c, connection_.root()), nullptr));
        xcb_randr_output_t output = XCB_NONE;
        if (resources && xcb_randr_get_screen_resources_current_outputs_length(resources.get()) > 0)
            output = xcb_randr_get_screen_resources_current_outputs(resources.get())[0];
        set(left, 0, 0, 640, 600, true, output);
        set(right, 640, 0, 640, 800, false, XCB_NONE);
        roundTrip(connection_.xcb());
    }
    ~SplitMonitors() {
        xcb_randr_delete_monitor(connection_.xcb(), connection_.root(), left);
        xcb_randr_delete_monitor(connection_.xcb(), connection_.root(), right);
        roundTrip(connection_.xcb());
    }
    SplitMonitors(const SplitMonitors&) = delete;
    SplitMonitors& operator=(const SplitMonitors&) = delete;

    xcb_atom_t left = XCB_NONE;
    xcb_atom_t right = XCB_NONE;

  private:
    void set(xcb_atom_t name, std::int16_t x, std::int16_t y, std::uint16_t width,
             std::uint16_t height, bool primary, xcb_randr_output_t output) {
        xcb_randr_monitor_info_t info{};
        info.name = name;
        info.primary = primary ? 1 : 0;
        info.nOutput = output == XCB_NONE ? 0 : 1;
        info.x = x;
        info.y = y;
        info.width = width;
        info.height = height;
        info.width_in_millimeters = width / 4u;
        info.height_in_millimeters = height / 4u;
        // Sent as it goes on the wire: xcb_randr_set_monitor miscounts the request's length
        // and libxcb stops on it. The header, the monitor, then its outputs; xcb writes the
        // opcodes and the length.
        const xcb_window_t root = connection_.root();
        std::vector<std::uint8_t> request(8 + sizeof info + 4 * info.nOutput);
        std::memcpy(request.data() + 4, &root, sizeof root);
        std::memcpy(request.data() + 8, &info, sizeof info);
        if (info.nOutput)
            std::memcpy(request.data() + 8 + sizeof info, &output, sizeof output);
        iovec parts[3] = {};
        parts[2].iov_base = request.data();
        parts[2].iov_len = request.size();
        const xcb_protocol_request_t kind{1, &xcb_randr_id, XCB_RANDR_SET_MONITOR, 1};
        xcb_send_request(connection_.xcb(), 0, parts + 2, &kind);
    }
    X11Connection& connection_;
};

} // namespace velmora::x11
