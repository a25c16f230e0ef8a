// SPDX-License-Identifier: MIT
#pragma once
// Where the user's autostart entries live.

#include <string>

namespace velmora::xdg {

// $XDG_CONFIG_HOME/autostart, else $HOME/.config/autostart. An XDG_CONFIG_HOME that is empty
// or relative does not count; without HOME the password database names the home folder. The
// empty string when no home folder can be found at all.
std::string autostartFolderFor(const char* xdgConfigHome, const char* home);

// The same for this process's environment.
std::string defaultAutostartFolder();

} // namespace velmora::xdg
