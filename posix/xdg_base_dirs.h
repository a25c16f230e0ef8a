// SPDX-License-Identifier: MIT
#pragma once
// The user's folders by the XDG base directory rules: the configuration folder (settings file,
// autostart entries) and the data folders (installed applications' desktop files).

#include <optional>
#include <string>
#include <vector>

namespace velmora::util {

// Both home folders follow one rule: the variable when it is an absolute path (a relative or
// empty one is ignored), else the folder below HOME; an HOME that is missing or relative gives
// way to the password database's home folder. The empty string when no home folder can be
// found at all. Either argument may be null.
std::string configHomeFor(const char* xdgConfigHome, const char* home); // HOME/.config
std::string dataHomeFor(const char* xdgDataHome, const char* home);     // HOME/.local/share

// dataHomeFor($XDG_DATA_HOME, $HOME); none when no home folder can be found.
std::optional<std::string> dataHome();

// The folders of $XDG_DATA_DIRS in its order, empty items left out; /usr/local/share and
// /usr/share when it is unset or empty.
std::vector<std::string> dataDirs();

} // namespace velmora::util
