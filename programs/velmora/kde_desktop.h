// SPDX-License-Identifier: MIT
#pragma once
// KDE Plasma's services for the agent (KWin on Wayland), built in the order they need each
// other, and the complete Platform the application delegate runs on. The front application
// comes from a KWin script that calls the agent over the session bus, the layouts from KWin's
// keyboard service. When KWin leaves the bus the settings are saved and the event loop ends
// with status 1. What Wayland does not give a client stays off and is said once.
//
// Main thread only, once the QApplication exists; STORE outlives it.

#include "desktop_file_descriptions.h"
#include "framework_input_sources.h"
#include "input_method_frameworks.h"
#include "kde/kde_global_shortcuts.h"
#include "kde/kde_keyboard_layouts.h"
#include "kde/kde_workspace.h"
#include "kde/kwin_activation_script.h"
#include "missing_layout_notes.h"
#include "program_views.h"
#include "qt/qt_application.h"
#include "qt/qt_child_process.h"
#include "qt/qt_images.h"
#include "qt/qt_run_loop.h"
#include "store/plist_file_defaults.h"
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
    Application& application() { return info_; }
    qt::QtRunLoop& runLoop() { return runLoop_; }
    ProgramViews& views() { return views_; }

  private:
    KdeDesktop(PlistFileDefaults& store, bool startedAtLogin);

    PlistFileDefaults& store_;
    const std::function<void(const std::string&)> kdeLog_;
    qt::QtApplicationInfo info_;
    qt::QtRunLoop runLoop_;
    DesktopBroadcastHub distributed_;
    kde::KdeKeyboardLayouts layouts_;
    InputMethodFrameworks frameworks_;
    FrameworkInputSources frameworkInputSources_;
    MissingLayoutNotes inputSources_;
    qt::QtImages images_;
    x11::InstalledApplications installed_;
    WaylandAppIdentities identities_;
    kde::KdeWorkspace workspace_;
    kde::KWinActivations activations_;
    NoWindowList windowList_;
    NoScreens screens_;
    NoGlobalEvents eventMonitor_;
    NoCursor cursor_;
    qt::QtChildProcess childProcess_;
    ProgramViews views_;
    // The tray: Plasma's panel registers this name on the session bus.
    QDBusServiceWatcher trayWatch_;
    DesktopFileDescriptions applicationDescriptions_;
    kde::KdeGlobalShortcuts hotKeyCenter_;
    xdg::XdgAutostartLoginItems autostart_;
    Platform platform_;
};

} // namespace velmora::program
