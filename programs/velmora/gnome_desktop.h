// SPDX-License-Identifier: MIT
#pragma once
// GNOME Shell's services for the agent (GNOME on Wayland), built in the order they need each
// other, and the complete Platform the application delegate runs on. The front application and
// the input sources come from the project's Shell extension; the agent owns the name the
// extension answers and the object its top-bar button calls. While the extension is missing or
// disabled the agent runs on, says once how to enable it, and takes it when it answers. When
// gnome-shell leaves the bus the settings are saved and the event loop ends with status 1.
// GNOME gives other programs no overlay surfaces (the floating indicator is off, said once) and
// no tray of its own (one through StatusNotifierItem when an extension provides it).
//
// Main thread only, once the QApplication exists; STORE outlives it.

#include "gnome/gnome_agent_service.h"
#include "gnome/gnome_input_sources.h"
#include "gnome/gnome_shell_extension.h"
#include "gnome/gnome_workspace.h"
#include "shared_desktop_services.h"
#include "status_notifier_tray_watch.h"
#include "wayland_app_identities.h"

#include "platform/absent_services.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora::program {

class GnomeDesktop {
  public:
    // Takes the agent's name on the session bus and asks the extension; nullptr, with the reason
    // in ERROR, when there is no session bus or the name is another program's. STARTEDATLOGIN:
    // the autostart entry started the agent.
    static std::unique_ptr<GnomeDesktop> connect(PlistFileDefaults& store, bool startedAtLogin,
                                                 std::string* error);
    ~GnomeDesktop();
    GnomeDesktop(const GnomeDesktop&) = delete;
    GnomeDesktop& operator=(const GnomeDesktop&) = delete;

    Platform& platform() { return platform_; }
    Application& application() { return basics_.info; }
    qt::QtRunLoop& runLoop() { return basics_.runLoop; }
    ProgramViews& views() { return shown_.views; }
    // What the extension's top-bar button asks for.
    gnome::GnomeAgentService& agentService() { return agent_; }

  private:
    GnomeDesktop(PlistFileDefaults& store, bool startedAtLogin);

    PlistFileDefaults& store_;
    const std::function<void(const std::string&)> gnomeLog_;
    SharedBasics basics_;
    gnome::GnomeAgentService agent_;
    gnome::GnomeShellExtension shell_;
    gnome::GnomeInputSources layouts_;
    SharedInputSources sources_;
    WaylandAppIdentities identities_;
    gnome::GnomeWorkspace workspace_;
    NoWindowList windowList_;
    NoScreens screens_;
    NoGlobalEvents eventMonitor_;
    NoCursor cursor_;
    NoGlobalShortcuts hotKeyCenter_;
    SharedViews shown_;
    StatusNotifierTrayWatch trayWatch_; // an AppIndicator extension's
    Platform platform_;
};

} // namespace velmora::program
