#pragma once
// Monitors through RandR. A monitor's number is the atom of its RandR name ("DP-1", "screen"):
// the same while the server runs, and the same again after the monitor is unplugged and
// plugged back. Without RandR 1.5 the whole X screen is one monitor numbered by the X screen
// (counting from 1, as 0 means "no screen" to the dispatcher's first activation).
//
// Frames have a bottom-left origin measured from the bottom of the monitor at the desktop's
// origin, the same flip the event monitor gives mouse positions.
//
// Any thread: the address-bar check asks from the global queue. Nothing here changes after
// construction; each question reads the monitors afresh and the active window through the
// workspace's published snapshot.

#include "platform/screens.h"
#include "randr_monitors.h"
#include "x11_connection.h"
#include "x11_workspace.h"

#include <vector>

namespace velmora::x11 {

class X11Screens final : public Screens {
  public:
    X11Screens(X11Connection& connection, X11Workspace& workspace);

    // The monitor that holds the centre of the active window; the primary one (else the
    // first) when no window is active or the centre is on no monitor.
    std::optional<Screen> mainScreen() override;
    // Every monitor of an X screen has the same depth: the primary one, else the first.
    std::optional<Screen> deepestScreen() override;
    // The primary monitor when it holds the desktop's origin, else the first that does.
    std::optional<Screen> originScreen() override;

  private:
    static Screen screenOf(const RandrMonitor& monitor, std::int32_t originHeight);
    static std::optional<Screen> primary(const std::vector<RandrMonitor>& monitors);

    X11Connection& connection_;
    X11Workspace& workspace_;
    const RandrMonitors randr_;
};

} // namespace velmora::x11
