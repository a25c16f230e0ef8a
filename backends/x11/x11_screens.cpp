// SPDX-License-Identifier: MIT
#include "x11_screens.h"

#include "window_facts.h"

namespace velmora::x11 {

X11Screens::X11Screens(X11Connection& connection, X11Workspace& workspace)
    : connection_(connection), workspace_(workspace), randr_(connection) {}

Screen X11Screens::screenOf(const RandrMonitor& monitor, std::int32_t originHeight) {
    Screen screen;
    screen.number = monitor.number;
    screen.frame = Rect{{double(monitor.x), double(originHeight) - monitor.y - monitor.height},
                        {double(monitor.width), double(monitor.height)}};
    return screen;
}

std::optional<Screen> X11Screens::primary(const std::vector<RandrMonitor>& monitors) {
    if (monitors.empty())
        return std::nullopt;
    const std::int32_t height = originHeight(monitors);
    for (const RandrMonitor& monitor : monitors)
        if (monitor.primary)
            return screenOf(monitor, height);
    return screenOf(monitors.front(), height);
}

X11Screens::~X11Screens() {
    if (nextRead_)
        randr_.discard(*nextRead_);
}

std::vector<RandrMonitor> X11Screens::monitors() {
    std::lock_guard lock(mutex_);
    if (nextRead_) {
        // Asked for at the previous question: normally long answered and already read off the
        // connection with the events, so taking it costs no round trip.
        lastRead_ = randr_.take(*nextRead_);
        nextRead_.reset();
    } else if (!lastRead_) {
        lastRead_ = randr_.read();
    }
    if (connection_.onMainThread() && connection_.dispatchingEvent()) {
        // An event handler asks on its way to a layout switch: the next question goes to the
        // server after whatever the handlers send.
        if (!askQueued_) {
            askQueued_ = true;
            connection_.afterDispatch([this, alive = std::weak_ptr<int>(alive_)] {
                if (alive.expired())
                    return;
                std::lock_guard lock(mutex_);
                askQueued_ = false;
                if (!nextRead_)
                    nextRead_ = randr_.ask();
            });
        }
    } else {
        nextRead_ = randr_.ask();
        connection_.flush();
    }
    return *lastRead_;
}

std::optional<Screen> X11Screens::mainScreen() {
    const std::vector<RandrMonitor> monitors = this->monitors();
    const xcb_window_t active = workspace_.activeWindow();
    // With one monitor every window is on it: no need to ask where the window is.
    if (active != XCB_WINDOW_NONE && monitors.size() > 1) {
        WindowFacts facts = readWindowFacts(connection_, {active}, kGeometryPart)[0];
        if (facts.bounds) {
            const double cx = facts.bounds->x + facts.bounds->width / 2.0;
            const double cy = facts.bounds->y + facts.bounds->height / 2.0;
            for (const RandrMonitor& monitor : monitors)
                if (monitor.holds(cx, cy))
                    return screenOf(monitor, originHeight(monitors));
        }
    }
    return primary(monitors);
}

std::optional<Screen> X11Screens::deepestScreen() {
    return primary(monitors());
}

std::optional<Screen> X11Screens::originScreen() {
    const std::vector<RandrMonitor> monitors = this->monitors();
    if (const RandrMonitor* origin = originMonitor(monitors))
        return screenOf(*origin, origin->height);
    return primary(monitors);
}

} // namespace velmora::x11
