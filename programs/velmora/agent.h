// SPDX-License-Identifier: MIT
#pragma once
// The agent itself: the desktop it finds (X11, x11_desktop.h; sway, sway_desktop.h; KDE,
// kde_desktop.h; GNOME, gnome_desktop.h) and the
// application delegate started on it, and the event loop run until a signal or the loss of
// the desktop ends it.

#include <string>

namespace velmora::program {

// STARTEDATLOGIN: the desktop started the agent from its autostart entry (--autostart); the
// settings then stay closed at start, and when another agent runs already this one leaves
// quietly instead of asking it to show its settings.
// Exit status: 0 after SIGINT or SIGTERM and when another agent already runs, 1 when the
// display or sway was lost, 2 when no desktop can be reached.
// DESKTOPNAME: the desktop given with --desktop; empty to find it (desktop_choice.h).
int runAgent(int argc, char** argv, bool startedAtLogin, const std::string& desktopName);

// The option of the autostart entry that tells the agent it was started at login.
inline constexpr const char* kStartedAtLoginOption = "--autostart";

} // namespace velmora::program
