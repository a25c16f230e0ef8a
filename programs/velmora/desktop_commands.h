// SPDX-License-Identifier: MIT
#pragma once
// The subcommands that look at the desktop: the input sources and the running applications,
// from the desktop the agent would run on (sway through its socket, KWin through the session
// bus, else the X display).

#include "platform/text_input_sources.h"
#include "platform/workspace.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace velmora::program {

// What the desktop shows now.
struct DesktopLook {
    std::vector<InputSource> layouts;        // the keyboards' layouts (none without XKB)
    std::vector<RunningApplication> running; // without the agent's own windows
    bool ibusFromDesktop = false;            // GNOME's sources hold IBus's engines
};

// sway's keyboards and windows when the agent would run on sway, KWin's on KDE (each asked with
// a short time-out), GNOME's input sources and focused applications through its Shell extension
// on GNOME, else the X display's. None, with the reason in ERROR, when it cannot be asked.
std::optional<DesktopLook> lookAtDesktop(std::string* error);

// The input sources rules can name now: the running framework's (Fcitx5's group, IBus's
// configured engines), else LAYOUTS. ALL: every input method or engine the framework knows,
// or every layout XKB knows after LAYOUTS. IBUSFROMDESKTOP: IBus is not asked (GNOME).
std::vector<InputSource> desktopInputSources(std::vector<InputSource> layouts, bool all,
                                             bool ibusFromDesktop = false);

// "ID<TAB>name" for each of desktopInputSources(ALL). Exit status; 2 when the desktop cannot be
// reached.
int listSources(std::ostream& out, bool all);
// "identity<TAB>name" for each running application ("-" when it has no identity).
int listApps(std::ostream& out);

} // namespace velmora::program
