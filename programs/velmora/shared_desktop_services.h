// SPDX-License-Identifier: MIT
#pragma once
// The services every Linux desktop builds alike, in three pieces a desktop builds around its
// own ones (they need each other in this order): the program's information, the broadcasts
// and the installed applications before the desktop's services; the input sources the rules
// select around the desktop's keyboard layouts; the views and the rest after its workspace.
// And the Platform they make with the desktop's own services.
//
// Main thread only, once the QApplication exists.

#include "desktop_file_descriptions.h"
#include "framework_input_sources.h"
#include "input_method_frameworks.h"
#include "missing_layout_notes.h"
#include "program_views.h"
#include "qt/key_translation.h"
#include "qt/qt_application.h"
#include "qt/qt_child_process.h"
#include "qt/qt_images.h"
#include "qt/qt_run_loop.h"
#include "store/plist_file_defaults.h"
#include "x11/installed_applications.h"
#include "xdg/xdg_autostart_login_items.h"

#include "platform/desktop_broadcast_hub.h"
#include "platform/platform.h"
#include "platform/window_event_workspace.h"

#include <functional>
#include <initializer_list>
#include <string>

namespace velmora::program {

// Before the desktop's own services.
struct SharedBasics {
    // STARTEDATLOGIN: the autostart entry started the agent (the settings stay closed: at
    // login they would be in the way).
    explicit SharedBasics(bool startedAtLogin);

    // Posts to the broadcasts, for the services that tell of changes themselves.
    std::function<void(DesktopBroadcast)> poster();
    // What the installed applications answer, for a workspace that asks the program.
    InstalledApplicationLookup installedLookup();

    // The program's information, and its own lines (velmora.agent).
    qt::QtApplicationInfo info;
    qt::QtRunLoop runLoop;
    DesktopBroadcastHub broadcasts;
    qt::QtImages images;
    x11::InstalledApplications installed;
};

// Around the desktop's LAYOUTS: while an input-method framework runs, its input sources are the
// ones rules select; a layout a rule wants and the desktop lacks is said. Without IBUS the
// desktop's own sources hold IBus's engines (GNOME).
struct SharedInputSources {
    SharedInputSources(InputSources& layouts, SharedBasics& basics, bool ibus = true);

    // A framework that selects for the input context it has focused hears of each new front
    // application (the workspace's NOTICES) before the agent's own observers select for it.
    void followFront(Workspace& workspace, std::initializer_list<const char*> notices);

    InputMethodFrameworks frameworks;
    FrameworkInputSources frameworkSources;
    MissingLayoutNotes selected; // the Platform's input sources
};

// After the desktop's WORKSPACE. The add button offers the applications running and installed,
// as desktops' choosers do, with the rule table's icons. An autostart entry written before its
// option existed gets it. CONNECTION: the X display the views use, nullptr on Wayland.
struct SharedViews {
    SharedViews(x11::X11Connection* connection, Workspace& workspace, SharedBasics& basics,
                PlistFileDefaults& store);

    qt::QtChildProcess childProcess;
    ProgramViews views;
    DesktopFileDescriptions applicationDescriptions;
    // Start at login: an entry in the user's autostart folder under the program's desktop id.
    // Its Exec has the option that keeps the settings closed at login.
    xdg::XdgAutostartLoginItems autostart;
};

// The services each desktop has its own way.
struct OwnServices {
    Workspace& workspace;
    EventMonitor& eventMonitor;
    WindowList& windowList;
    Screens& screens;
    SystemCursor& cursor;
    GlobalShortcuts* hotKeyCenter;
};

Platform sharedPlatform(PlistFileDefaults& store, SharedBasics& basics, SharedInputSources& sources,
                        SharedViews& shown, const OwnServices& own);

// Recorders store the key's position (STOREDKEYCODE) and name it as the keyboard does.
qt::KeyTranslation keyTranslation(
    std::function<std::optional<std::int64_t>(std::uint32_t nativeKeyCode)> storedKeyCode);

// Opens URL with the application the desktop assigns to its scheme.
bool openURLOnDesktop(const std::string& url);

// Whether the session bus answers; else ERROR says so for DESKTOP ("KDE") and why.
bool sessionBusAnswers(const char* desktop, std::string* error);

} // namespace velmora::program
