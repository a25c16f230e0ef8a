// SPDX-License-Identifier: MIT
#pragma once
// The workspace on GNOME Shell: the front application follows the focus the Shell extension
// tells of. The extension names a window's application by its desktop-file id (GNOME's window
// tracker) and else by its WM class or Wayland app id; which installed application that is,
// the program decides (IDENTIFY and INSTALLED), as on the other desktops. The running
// applications are those focused since the agent started (the extension tells of no window
// list nor of closed windows).

#include "gnome_shell_replies.h"

#include "platform/application_windows.h"
#include "platform/window_event_workspace.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora::gnome {

class GnomeWorkspace final : public WindowEventWorkspace {
  public:
    using Identify = std::function<RunningApplication(const GnomeFocus&)>;
    GnomeWorkspace(Identify identify, InstalledApplicationLookup installed);

    // What the extension tells. A focus on nothing leaves the front application as it was.
    // Main thread.
    void focusChanged(const GnomeFocus& focus);

    std::vector<RunningApplication> runningApplications() override {
        return applications_.applications();
    }

  private:
    Identify identify_;
    ApplicationWindows<std::string> applications_; // one entry per application key
};

} // namespace velmora::gnome
