#pragma once
// Monitors through RandR. A monitor's number is the atom of its RandR name ("DP-1", "screen"):
// the same while the server runs, and the same again after the monitor is unplugged and
// plugged back. Without RandR 1.5 the whole X screen is one monitor numbered by the X screen
// (counting from 1, as 0 means "no screen" to the dispatcher's first activation).

#include "platform/screens.h"
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
    // The primary monitor when it holds the desktop's origin, else the first that does, else
    // the whole X screen.
    std::optional<Screen> originScreen() override;

  private:
    struct Monitor {
        Screen screen;        // frame with a bottom-left origin
        std::int32_t top = 0; // top-left origin, for hit tests on window bounds
        bool primary = false;
    };
    std::vector<Monitor> monitors();
    std::optional<Screen> primary(const std::vector<Monitor>& monitors) const;

    X11Connection& connection_;
    X11Workspace& workspace_;
    bool hasMonitors_ = false;
};

} // namespace velmora::x11
