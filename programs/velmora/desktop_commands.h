// SPDX-License-Identifier: MIT
#pragma once
// The subcommands that look at the X display: the input sources and the running applications.

#include "platform/text_input_sources.h"

#include <ostream>
#include <string>
#include <vector>

namespace velmora::x11 {
class X11Connection;
}

namespace velmora::program {

// The layouts of the display's keymap (none without XKB).
std::vector<InputSource> keymapSources(x11::X11Connection& connection);

// The input sources rules can name now: the running framework's (Fcitx5's group, IBus's
// configured engines), else the keymap's layouts (none without XKB). ALL: every input method or
// engine the framework knows, or every layout XKB knows after the keymap's.
std::vector<InputSource> desktopInputSources(x11::X11Connection& connection, bool all);

// "ID<TAB>name" for each of desktopInputSources(ALL). Exit status; 2 when the display cannot be
// reached.
int listSources(std::ostream& out, bool all);
// "identity<TAB>name" for each running application ("-" when it has no identity).
int listApps(std::ostream& out);

} // namespace velmora::program
