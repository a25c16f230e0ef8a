// SPDX-License-Identifier: MIT
#pragma once
// sway's services for the agent, built in the order they need each other, and the complete
// Platform the application delegate runs on. Everything comes through sway's IPC socket;
// when sway goes away (the socket closes, sway shuts down) the settings are saved and the
// event loop ends with status 1. What Wayland does not give a client stays off and is said
// once (platform/absent_services.h).
//
// Main thread only, once the QApplication exists; STORE outlives it.

#include "layer_shell_indicator.h"
#include "shared_desktop_services.h"
#include "status_notifier_tray_watch.h"
#include "sway/sway_hot_keys.h"
#include "sway/sway_input_sources.h"
#include "sway/sway_ipc.h"
#include "sway/sway_workspace.h"
#include "sway_key_combos.h"
#include "wayland_app_identities.h"

#include "platform/absent_services.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora::program {

class SwayDesktop {
  public:
    // Connects to sway at SOCKET and reads its windows and keyboards; nullptr, with the reason
    // in ERROR, when sway does not answer. STARTEDATLOGIN: the autostart entry started the agent.
    static std::unique_ptr<SwayDesktop> connect(const std::string& socket, PlistFileDefaults& store,
                                                bool startedAtLogin, std::string* error);
    ~SwayDesktop();
    SwayDesktop(const SwayDesktop&) = delete;
    SwayDesktop& operator=(const SwayDesktop&) = delete;

    Platform& platform() { return platform_; }
    Application& application() { return basics_.info; }
    qt::QtRunLoop& runLoop() { return basics_.runLoop; }
    ProgramViews& views() { return shown_.views; }

  private:
    SwayDesktop(std::unique_ptr<sway::SwayIpc> ipc, const QJsonDocument& tree,
                const QJsonDocument& inputs, PlistFileDefaults& store, bool startedAtLogin);

    PlistFileDefaults& store_;
    const std::function<void(const std::string&)> swayLog_;
    SharedBasics basics_;
    std::unique_ptr<sway::SwayIpc> ipc_;
    sway::SwayInputSources layouts_;
    SharedInputSources sources_;
    WaylandAppIdentities identities_;
    sway::SwayWorkspace workspace_;
    NoWindowList windowList_;
    NoScreens screens_;
    NoGlobalEvents eventMonitor_;
    NoCursor cursor_;
    SharedViews shown_;
    StatusNotifierTrayWatch trayWatch_; // waybar, ...
    SwayKeyCombos keyCombos_;
    // Before the delegate, so that the bindings outlive every hotkey it registers.
    sway::SwayGlobalShortcuts hotKeyCenter_;
    Platform platform_;
};

} // namespace velmora::program
