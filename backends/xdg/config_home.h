#pragma once
// The user's configuration folder by the XDG base directory rules, shared by the settings file
// and the autostart entries.

#include <string>

namespace velmora::xdg {

// XDG_CONFIG_HOME when it is an absolute path, else HOME/.config; an HOME that is missing or
// relative gives way to the password database's home folder. The empty string when no home
// folder can be found at all. Either argument may be null.
std::string configHomeFor(const char* xdgConfigHome, const char* home);

} // namespace velmora::xdg
