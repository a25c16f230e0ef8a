#include "autostart_folder.h"

#include "config_home.h"

#include <cstdlib>

namespace velmora::xdg {

std::string autostartFolderFor(const char* xdgConfigHome, const char* home) {
    std::string configHome = configHomeFor(xdgConfigHome, home);
    return configHome.empty() ? "" : configHome + "/autostart";
}

std::string defaultAutostartFolder() {
    return autostartFolderFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

} // namespace velmora::xdg
