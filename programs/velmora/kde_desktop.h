// SPDX-License-Identifier: MIT
#pragma once
// KDE Plasma's services for the agent (KWin on Wayland), built in the order they need each
// other, and the complete Platform the application delegate runs on. The front application
// comes from a KWin script that calls the agent over the session bus, the layouts from KWin's
// keyboard service. When KWin leaves the bus the settings are saved and the event loop ends
// with status 1. What Wayland does not give a client stays off and is said once.
//
// Main thread only, once the QApplication exists; STORE outlives it.

#include "kde/kde_global_shortcuts.h"
#include "kde/kde_keyboard_layouts.h"
#include "kde/kde_workspace.h"
#include "kde/kwin_activation_script.h"
#include "shared_desktop_services.h"
#include "status_notifier_tray_watch.h"
#include "wayland_app_identities.h"

#include "platform/absent_services.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora::program {

class KdeDesktop {
  public:
    // Loads the agent's script into KWin and reads the layouts; nullptr, with the reason in
    // ERROR, when KWin is not on the session bus. STARTEDATLOGIN: the autostart entry started
    // the agent.
    static std::unique_ptr<KdeDesktop> connect(PlistFileDefaults& store, bool startedAtLogin,
                                               std::string* error);
    ~KdeDesktop();
    KdeDesktop(const KdeDesktop&) = delete;
    KdeDesktop& operator=(const KdeDesktop&) = delete;

    Platform& platform() { return platform_; }
    Application& application() { return basics_.info; }
    qt::QtRunLoop& runLoop() { return basics_.runLoop; }
    ProgramViews& views() { return shown_.views; }

  private:
    KdeDesktop(PlistFileDefaults& store, bool startedAtLogin);

    PlistFileDefaults& store_;
    const std::function<void(const std::string&)> kdeLog_;
    SharedBasics basics_;
    kde::KdeKeyboardLayouts layouts_;
    SharedInputSources sources_;
    WaylandAppIdentities identities_;
    kde::KdeWorkspace workspace_;
    kde::KWinActivations activations_;
    NoWindowList windowList_;
    NoScreens screens_;
    NoGlobalEvents eventMonitor_;
    NoCursor cursor_;
    SharedViews shown_;
    StatusNotifierTrayWatch trayWatch_; // Plasma's panel
    kde::KdeGlobalShortcuts hotKeyCenter_;
    Platform platform_;
};

} // namespace velmora::program
