#include "randr_monitors.h"

#include "xcb_reply.h"

#include <xcb/randr.h>

namespace velmora::x11 {

RandrMonitors::RandrMonitors(X11Connection& connection) : connection_(connection) {
    xcb_connection_t* c = connection_.xcb();
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (!randr || !randr->present)
        return;
    XcbReply<xcb_randr_query_version_reply_t> version(
        xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
    hasMonitors_ = version && (version->major_version > 1 ||
                               (version->major_version == 1 && version->minor_version >= 5));
}

MonitorLayout RandrMonitors::read() {
    xcb_connection_t* c = connection_.xcb();
    auto rootCookie = xcb_get_geometry(c, connection_.root());
    xcb_randr_get_monitors_cookie_t monitorsCookie{};
    if (hasMonitors_)
        monitorsCookie = xcb_randr_get_monitors(c, connection_.root(), 1);
    XcbReply<xcb_get_geometry_reply_t> root(xcb_get_geometry_reply(c, rootCookie, nullptr));
    XcbReply<xcb_randr_get_monitors_reply_t> reply;
    if (hasMonitors_)
        reply.reset(xcb_randr_get_monitors_reply(c, monitorsCookie, nullptr));
    connection_.repliesAwaited();

    MonitorLayout layout;
    layout.rootHeight = root ? root->height : connection_.screen().height_in_pixels;
    layout.rootWidth = root ? root->width : connection_.screen().width_in_pixels;
    if (reply)
        for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
             xcb_randr_monitor_info_next(&it)) {
            const xcb_randr_monitor_info_t& m = *it.data;
            layout.monitors.push_back(
                RandrMonitor{m.name, m.x, m.y, m.width, m.height, m.primary != 0});
        }
    return layout;
}

double originScreenHeight(const MonitorLayout& layout) {
    std::optional<double> first;
    for (const RandrMonitor& m : layout.monitors) {
        const bool holdsOrigin = m.x <= 0 && m.y <= 0 && m.x + m.width > 0 && m.y + m.height > 0;
        if (!holdsOrigin)
            continue;
        if (m.primary)
            return double(m.height);
        if (!first)
            first = double(m.height);
    }
    return first ? *first : double(layout.rootHeight);
}

} // namespace velmora::x11
