// SPDX-License-Identifier: MIT
#pragma once
// sway's services for the agent, built in the order they need each other, and the complete
// Platform the application delegate runs on. Everything comes through sway's IPC socket;
// when sway goes away (the socket closes, sway shuts down) the settings are saved and the
// event loop ends with status 1. What Wayland does not give a client stays off and is said
// once (platform/absent_services.h).
//
// Main thread only, once the QApplication exists; STORE outlives it.

#include "desktop_file_descriptions.h"
#include "framework_input_sources.h"
#include "input_method_frameworks.h"
#include "layer_shell_indicator.h"
#include "missing_layout_notes.h"
#include "program_views.h"
#include "qt/qt_application.h"
#include "qt/qt_child_process.h"
#include "qt/qt_images.h"
#include "qt/qt_run_loop.h"
#include "store/plist_file_defaults.h"
#include "sway/sway_hot_keys.h"
#include "sway/sway_input_sources.h"
#include "sway/sway_ipc.h"
#include "sway/sway_workspace.h"
#include "sway_key_combos.h"
#include "wayland_app_identities.h"
#include "x11/installed_applications.h"
#include "xdg/xdg_autostart_login_items.h"

#include "platform/absent_services.h"
#include "platform/desktop_broadcast_hub.h"
#include "platform/platform.h"

#include <QDBusServiceWatcher>

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
    Application& application() { return info_; }
    qt::QtRunLoop& runLoop() { return runLoop_; }
    ProgramViews& views() { return views_; }

  private:
    SwayDesktop(std::unique_ptr<sway::SwayIpc> ipc, const QJsonDocument& tree,
                const QJsonDocument& inputs, PlistFileDefaults& store, bool startedAtLogin);
    IndicatorViews makeIndicator();

    PlistFileDefaults& store_;
    const std::function<void(const std::string&)> swayLog_;
    qt::QtApplicationInfo info_;
    qt::QtRunLoop runLoop_;
    std::unique_ptr<sway::SwayIpc> ipc_;
    DesktopBroadcastHub distributed_;
    sway::SwayInputSources layouts_;
    InputMethodFrameworks frameworks_;
    FrameworkInputSources frameworkInputSources_;
    MissingLayoutNotes inputSources_;
    qt::QtImages images_;
    x11::InstalledApplications installed_;
    WaylandAppIdentities identities_;
    sway::SwayWorkspace workspace_;
    NoWindowList windowList_;
    NoScreens screens_;
    NoGlobalEvents eventMonitor_;
    NoCursor cursor_;
    qt::QtChildProcess childProcess_;
    ProgramViews views_;
    // The tray: a StatusNotifierItem host (waybar, ...) registers this name on the session bus.
    QDBusServiceWatcher trayWatch_;
    DesktopFileDescriptions applicationDescriptions_;
    SwayKeyCombos keyCombos_;
    // Before the delegate, so that the bindings outlive every hotkey it registers.
    sway::SwayGlobalShortcuts hotKeyCenter_;
    xdg::XdgAutostartLoginItems autostart_;
    Platform platform_;
};

} // namespace velmora::program
