#include "x11_screens.h"

#include "window_facts.h"

#include <cstdlib>
#include <memory>

namespace velmora::x11 {

X11Screens::X11Screens(X11Connection& connection, X11Workspace& workspace)
    : connection_(connection), workspace_(workspace), randr_(connection) {}

std::vector<X11Screens::Monitor> X11Screens::monitors() {
    const MonitorLayout layout = randr_.read();
    auto make = [&](std::int32_t number, std::int32_t x, std::int32_t y, std::int32_t w,
                    std::int32_t h, bool primary) {
        Monitor monitor;
        monitor.screen.number = number;
        monitor.screen.frame =
            Rect{{double(x), double(layout.rootHeight - (y + h))}, {double(w), double(h)}};
        monitor.top = y;
        monitor.primary = primary;
        return monitor;
    };
    std::vector<Monitor> result;
    for (const RandrMonitor& m : layout.monitors)
        result.push_back(
            make(static_cast<std::int32_t>(m.name), m.x, m.y, m.width, m.height, m.primary));
    if (result.empty())
        result.push_back(
            make(connection_.screenNumber() + 1, 0, 0, layout.rootWidth, layout.rootHeight, true));
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

std::optional<Screen> X11Screens::deepestScreen() {
    return primary(monitors());
}

} // namespace velmora::x11
