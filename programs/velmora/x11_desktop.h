// SPDX-License-Identifier: MIT
#pragma once
// The X11 desktop's services for the agent, built in the order they need each other, and the
// complete Platform the application delegate runs on. The display's events reach the services
// on the main thread; when the server goes away and our connection hears of it first, the
// settings are saved and the event loop ends with status 1.
//
// Main thread only, once the QApplication exists; CONNECTION and STORE outlive it.

#include "shared_desktop_services.h"
#include "x11/application_identities.h"
#include "x11/window_icons.h"
#include "x11/x11_connection.h"
#include "x11/x11_cursor.h"
#include "x11/x11_event_monitor.h"
#include "x11/x11_hot_key_center.h"
#include "x11/x11_screens.h"
#include "x11/x11_tray_watch.h"
#include "x11/x11_window_list.h"
#include "x11/x11_workspace.h"
#include "x11/xkb_input_sources.h"

#include <QSocketNotifier>

#include <functional>
#include <string>

namespace velmora::program {

class X11Desktop {
  public:
    // STARTEDATLOGIN: the autostart entry started the agent (the settings stay closed).
    // DEVICEPIXELRATIO: the screen's, for the size windows' own icons are taken at.
    X11Desktop(x11::X11Connection& connection, PlistFileDefaults& store, bool startedAtLogin,
               double devicePixelRatio);
    ~X11Desktop();
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    Platform& platform() { return platform_; }
    // The program's information, and its own lines (velmora.agent).
    Application& application() { return basics_.info; }
    qt::QtRunLoop& runLoop() { return basics_.runLoop; }
    ProgramViews& views() { return shown_.views; }

  private:
    // The display's wake-ups and its loss reach the main thread; the descriptor to watch.
    int wireDisplay();

    x11::X11Connection& connection_;
    PlistFileDefaults& store_;
    // Every X11 service logs to its own category through this one function.
    const std::function<void(const std::string&)> x11Log_;
    SharedBasics basics_;
    QSocketNotifier displayNotifier_;
    x11::ApplicationIdentities identities_;
    x11::XkbInputSources xkbInputSources_;
    SharedInputSources sources_;
    x11::WindowIcons windowIcons_;
    x11::X11Workspace workspace_;
    x11::X11WindowList windowList_;
    x11::X11Screens screens_;
    x11::X11EventMonitor eventMonitor_;
    x11::X11Cursor cursor_;
    SharedViews shown_;
    x11::X11TrayWatch trayWatch_;
    // Before the delegate, so that the grabs outlive every hotkey it registers.
    x11::X11GlobalShortcuts hotKeyCenter_;
    Platform platform_;
};

} // namespace velmora::program
