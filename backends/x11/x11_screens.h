// SPDX-License-Identifier: MIT
#pragma once
// Monitors through RandR. A monitor's number is the atom of its RandR name ("DP-1", "screen"):
// the same while the server runs, and the same again after the monitor is unplugged and
// plugged back. Without RandR 1.5 the whole X screen is one monitor numbered by the X screen
// (counting from 1, as 0 means "no screen" to the dispatcher's first activation).
//
// Frames have a bottom-left origin measured from the bottom of the monitor at the desktop's
// origin, the same flip the event monitor gives mouse positions.
//
// Any thread: the address-bar check asks from the global queue. The active window comes from
// the workspace's published snapshot. The monitors are read one question ahead: each answer
// uses the list asked for at the previous question (or now, at the first), and asks again for
// the next one; asked from an event handler, the question waits until the handlers are done,
// so that it never reaches the server ahead of a layout switch. Any client may change the monitors
// at any moment without the server telling anyone (xrandr --setmonitor), so a cache kept until a
// notification could stay wrong for good; a read in the answer itself would put a round trip to a
// server busy with the window manager's work into every activation, before the agent's wait even
// starts.

#include "platform/screens.h"
#include "randr_monitors.h"
#include "x11_connection.h"
#include "x11_workspace.h"

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace velmora::x11 {

class X11Screens final : public Screens {
  public:
    X11Screens(X11Connection& connection, X11Workspace& workspace);
    ~X11Screens() override;

    // The monitor that holds the centre of the active window; the primary one (else the
    // first) when no window is active or the centre is on no monitor.
    std::optional<Screen> mainScreen() override;
    // Every monitor of an X screen has the same depth: the primary one, else the first.
    std::optional<Screen> deepestScreen() override;
    // The primary monitor when it holds the desktop's origin, else the first that does.
    std::optional<Screen> originScreen() override;

  private:
    // The monitors as last read, with the next read on its way.
    std::vector<RandrMonitor> monitors();
    static Screen screenOf(const RandrMonitor& monitor, std::int32_t originHeight);
    static std::optional<Screen> primary(const std::vector<RandrMonitor>& monitors);

    X11Connection& connection_;
    X11Workspace& workspace_;
    const RandrMonitors randr_;
    std::mutex mutex_; // guards the three below
    std::optional<std::vector<RandrMonitor>> lastRead_;
    std::optional<RandrMonitors::Pending> nextRead_;
    bool askQueued_ = false; // the next question waits for the events being handled
    std::shared_ptr<int> alive_ = std::make_shared<int>(); // tells a queued question we are gone
};

} // namespace velmora::x11
