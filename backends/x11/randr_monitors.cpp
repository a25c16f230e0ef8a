// SPDX-License-Identifier: MIT
#include "randr_monitors.h"

#include "xcb_reply.h"

#include <algorithm>

namespace velmora::x11 {

RandrMonitors::RandrMonitors(X11Connection& connection) : connection_(connection) {
    xcb_connection_t* c = connection_.xcb();
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (!randr || !randr->present)
        return;
    XcbReply<xcb_randr_query_version_reply_t> version(
        xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
    connection_.repliesAwaited();
    hasMonitors_ = version && (version->major_version > 1 ||
                               (version->major_version == 1 && version->minor_version >= 5));
}

RandrMonitors::Pending RandrMonitors::ask() const {
    xcb_connection_t* c = connection_.xcb();
    Pending pending;
    pending.root = xcb_get_geometry(c, connection_.root());
    if (hasMonitors_)
        pending.monitors = xcb_randr_get_monitors(c, connection_.root(), 1);
    pending.asked = true;
    return pending;
}

void RandrMonitors::discard(const Pending& pending) const {
    if (!pending.asked)
        return;
    xcb_discard_reply(connection_.xcb(), pending.root.sequence);
    if (hasMonitors_)
        xcb_discard_reply(connection_.xcb(), pending.monitors.sequence);
}

std::vector<RandrMonitor> RandrMonitors::take(const Pending& pending) const {
    xcb_connection_t* c = connection_.xcb();
    std::vector<RandrMonitor> result;
    if (!pending.asked)
        return result;
    XcbReply<xcb_get_geometry_reply_t> root(xcb_get_geometry_reply(c, pending.root, nullptr));
    XcbReply<xcb_randr_get_monitors_reply_t> reply;
    if (hasMonitors_)
        reply.reset(xcb_randr_get_monitors_reply(c, pending.monitors, nullptr));
    connection_.repliesAwaited();
    if (reply) {
        // The iterator counts what the reply's length holds, never more than it says.
        for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
             xcb_randr_monitor_info_next(&it)) {
            const xcb_randr_monitor_info_t& m = *it.data;
            // A monitor without area holds no point; it would only confuse the origin.
            if (m.width == 0 || m.height == 0)
                continue;
            result.push_back(RandrMonitor{static_cast<std::int32_t>(m.name), m.x, m.y, m.width,
                                          m.height, m.primary != 0});
        }
    }
    if (result.empty()) {
        const xcb_screen_t& screen = connection_.screen();
        result.push_back(RandrMonitor{connection_.screenNumber() + 1, 0, 0,
                                      root ? root->width : screen.width_in_pixels,
                                      root ? root->height : screen.height_in_pixels, true});
    }
    return result;
}

const RandrMonitor* originMonitor(const std::vector<RandrMonitor>& monitors) {
    const RandrMonitor* first = nullptr;
    for (const RandrMonitor& monitor : monitors) {
        if (!monitor.holds(0, 0))
            continue;
        if (monitor.primary)
            return &monitor;
        if (!first)
            first = &monitor;
    }
    return first;
}

std::int32_t originHeight(const std::vector<RandrMonitor>& monitors) {
    if (const RandrMonitor* origin = originMonitor(monitors))
        return origin->height;
    std::int32_t bottom = 0;
    for (const RandrMonitor& monitor : monitors)
        bottom = std::max(bottom, monitor.y + monitor.height);
    return bottom;
}

} // namespace velmora::x11
