// SPDX-License-Identifier: MIT
#pragma once
// Which installed application a Wayland window belongs to, keyed as on X11 so that one
// settings file serves both sessions: the desktop-file id when the app id (or an XWayland
// window's class) leads to a desktop file, else the app id or class as it stands. Desktop
// files are read once, and again when a folder changed and a window found no match.
//
// Main thread only.

#include "sway/sway_workspace.h"
#include "x11/app_identity.h"

#include <string>

namespace velmora::program {

class WaylandAppIdentities {
  public:
    WaylandAppIdentities();
    RunningApplication identify(const sway::WindowIdentity& window);

  private:
    std::string locale_;
    x11::DesktopEntryIndex desktop_;
    bool scanned_ = false;
};

} // namespace velmora::program
