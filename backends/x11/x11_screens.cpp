#include "x11_screens.h"

#include "xcb_reply.h"

#include "window_facts.h"

#include <xcb/randr.h>

#include <cstdlib>
#include <memory>

namespace velmora::x11 {

namespace {

template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

} // namespace

X11Screens::X11Screens(X11Connection& connection, X11Workspace& workspace)
    : connection_(connection), workspace_(workspace) {
    const xcb_query_extension_reply_t* randr =
        xcb_get_extension_data(connection_.xcb(), &xcb_randr_id);
    if (!randr || !randr->present)
        return;
    Reply<xcb_randr_query_version_reply_t> version(xcb_randr_query_version_reply(
        connection_.xcb(), xcb_randr_query_version(connection_.xcb(), 1, 5), nullptr));
    hasMonitors_ = version && (version->major_version > 1 ||
                               (version->major_version == 1 && version->minor_version >= 5));
}

std::vector<X11Screens::Monitor> X11Screens::monitors() {
    xcb_connection_t* c = connection_.xcb();
    auto rootCookie = xcb_get_geometry(c, connection_.root());
    xcb_randr_get_monitors_cookie_t monitorsCookie{};
    if (hasMonitors_)
        monitorsCookie = xcb_randr_get_monitors(c, connection_.root(), 1);
    Reply<xcb_get_geometry_reply_t> root(xcb_get_geometry_reply(c, rootCookie, nullptr));
    Reply<xcb_randr_get_monitors_reply_t> reply;
    if (hasMonitors_)
        reply.reset(xcb_randr_get_monitors_reply(c, monitorsCookie, nullptr));
    connection_.repliesAwaited();
    std::int32_t rootHeight = root ? root->height : connection_.screen().height_in_pixels;
    std::int32_t rootWidth = root ? root->width : connection_.screen().width_in_pixels;

    auto make = [&](std::int32_t number, std::int32_t x, std::int32_t y, std::int32_t w,
                    std::int32_t h, bool primary) {
        Monitor monitor;
        monitor.screen.number = number;
        monitor.screen.frame =
            Rect{{double(x), double(rootHeight - (y + h))}, {double(w), double(h)}};
        monitor.top = y;
        monitor.primary = primary;
        return monitor;
    };
    std::vector<Monitor> result;
    if (reply) {
        auto it = xcb_randr_get_monitors_monitors_iterator(reply.get());
        for (; it.rem; xcb_randr_monitor_info_next(&it)) {
            const xcb_randr_monitor_info_t& m = *it.data;
            result.push_back(make(static_cast<std::int32_t>(m.name), m.x, m.y, m.width, m.height,
                                  m.primary != 0));
        }
    }
    if (result.empty())
        result.push_back(make(connection_.screenNumber() + 1, 0, 0, rootWidth, rootHeight, true));
    return result;
}

std::optional<Screen> X11Screens::primary(const std::vector<Monitor>& monitors) const {
    for (const Monitor& monitor : monitors)
        if (monitor.primary)
            return monitor.screen;
    if (monitors.empty())
        return std::nullopt;
    return monitors.front().screen;
}

std::optional<Screen> X11Screens::mainScreen() {
    std::vector<Monitor> all = monitors();
    xcb_window_t active = workspace_.activeWindow();
    if (active != XCB_WINDOW_NONE) {
        WindowFacts facts = readWindowFacts(connection_, {active}, kGeometryPart)[0];
        if (facts.bounds) {
            double cx = facts.bounds->x + facts.bounds->width / 2.0;
            double cy = facts.bounds->y + facts.bounds->height / 2.0;
            for (const Monitor& monitor : all) {
                const Rect& frame = monitor.screen.frame;
                if (cx >= frame.origin.x && cx < frame.origin.x + frame.size.width &&
                    cy >= monitor.top && cy < monitor.top + frame.size.height)
                    return monitor.screen;
            }
        }
    }
    return primary(all);
}

std::optional<Screen> X11Screens::originScreen() {
    std::vector<Monitor> all = monitors();
    const Monitor* first = nullptr;
    for (const Monitor& monitor : all) {
        const Rect& frame = monitor.screen.frame;
        const bool holdsOrigin = frame.origin.x <= 0 && frame.origin.x + frame.size.width > 0 &&
                                 monitor.top <= 0 && monitor.top + frame.size.height > 0;
        if (!holdsOrigin)
            continue;
        if (monitor.primary)
            return monitor.screen;
        if (!first)
            first = &monitor;
    }
    if (first)
        return first->screen;
    return Screen{connection_.screenNumber() + 1,
                  Rect{{0, 0},
                       {double(connection_.screen().width_in_pixels),
                        double(connection_.screen().height_in_pixels)}}};
}

std::optional<Screen> X11Screens::deepestScreen() {
    return primary(monitors());
}

} // namespace velmora::x11
