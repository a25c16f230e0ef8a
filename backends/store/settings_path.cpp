// SPDX-License-Identifier: MIT
#include "settings_path.h"

#include "plist_file_defaults.h"
#include "posix/xdg_base_dirs.h"

#include <cstdlib>

namespace velmora {

namespace store {

namespace {
constexpr const char* kRelativePath = "/velmora/com.quorvant.Quorvant-Velmora.plist";
} // namespace

std::string settingsFilePathFor(const char* xdgConfigHome, const char* home) {
    std::string configHome = util::configHomeFor(xdgConfigHome, home);
    // Without any home folder the file goes below the working folder rather than the root.
    return (configHome.empty() ? std::string(".config") : configHome) + kRelativePath;
}

} // namespace store

std::string defaultSettingsFilePath() {
    return store::settingsFilePathFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

} // namespace velmora
