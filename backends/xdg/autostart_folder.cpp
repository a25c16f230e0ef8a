// SPDX-License-Identifier: MIT
#include "autostart_folder.h"

#include "posix/xdg_base_dirs.h"

#include <cstdlib>

namespace velmora::xdg {

std::string autostartFolderFor(const char* xdgConfigHome, const char* home) {
    std::string configHome = util::configHomeFor(xdgConfigHome, home);
    return configHome.empty() ? "" : configHome + "/autostart";
}

std::string defaultAutostartFolder() {
    return autostartFolderFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

} // namespace velmora::xdg
