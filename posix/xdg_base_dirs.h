// SPDX-License-Identifier: MIT
#pragma once
// The user's folders by the XDG base directory rules: the configuration folder (settings file,
// autostart entries) and the data folders (installed applications' desktop files).

#include <optional>
#include <string>
#include <vector>

namespace velmora::util {

// XDG_CONFIG_HOME when it is an absolute path, else HOME/.config; an HOME that is missing or
// relative gives way to the password database's home folder. The empty string when no home
// folder can be found at all. Either argument may be null.
std::string configHomeFor(const char* xdgConfigHome, const char* home);

// $XDG_DATA_HOME, else $HOME/.local/share (an empty variable counts as unset); none when
// neither is set.
std::optional<std::string> dataHome();

// The folders of $XDG_DATA_DIRS in its order, empty items left out; /usr/local/share and
// /usr/share when it is unset or empty.
std::vector<std::string> dataDirs();

} // namespace velmora::util
