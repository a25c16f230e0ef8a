// SPDX-License-Identifier: MIT
#pragma once
// Where the settings file lives, worked out from the environment the caller passes in.

#include <string>

namespace velmora::store {

// velmora/<bundle id>.plist in the user's configuration folder (XDG base directory rules:
// util::configHomeFor). Either argument may be null.
std::string settingsFilePathFor(const char* xdgConfigHome, const char* home);

} // namespace velmora::store
