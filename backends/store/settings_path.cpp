#include "settings_path.h"

#include "plist_file_defaults.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace velmora {

namespace store {

namespace {

constexpr const char* kRelativePath = "/velmora/com.quorvant.Quorvant-Velmora.plist";

// HOME can be missing in services started without a login environment.
std::string homeFromPasswordDatabase() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir)
        return found->pw_dir;
    return "";
}

} // namespace

std::string settingsFilePathFor(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && xdgConfigHome[0] == '/')
        return xdgConfigHome + std::string(kRelativePath);
    std::string homeFolder = home && home[0] != '\0' ? home : homeFromPasswordDatabase();
    return homeFolder + "/.config" + kRelativePath;
}

} // namespace store

std::string defaultSettingsFilePath() {
    return store::settingsFilePathFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

} // namespace velmora
