#pragma once
// Where the settings file lives, worked out from the environment the caller passes in.

#include <string>

namespace velmora::store {

// XDG_CONFIG_HOME when it is an absolute path, HOME/.config otherwise (the XDG base directory
// rules ignore a relative XDG_CONFIG_HOME). Either argument may be null.
std::string settingsFilePathFor(const char* xdgConfigHome, const char* home);

} // namespace velmora::store
