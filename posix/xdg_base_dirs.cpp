// SPDX-License-Identifier: MIT
#include "xdg_base_dirs.h"

#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace velmora::util {

namespace {

// HOME can be missing in sessions started without a login environment.
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

const char* environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// VALUE when it is absolute, else BELOWHOME in the home folder: HOME when it is absolute,
// else the password database's.
std::string baseFolder(const char* value, const char* home, std::string_view belowHome) {
    if (value && value[0] == '/')
        return value;
    std::string homeFolder = home && home[0] == '/' ? home : homeFromPasswordDatabase();
    if (homeFolder.empty() || homeFolder[0] != '/')
        return "";
    if (!homeFolder.ends_with('/'))
        homeFolder += '/';
    return homeFolder + std::string(belowHome);
}

} // namespace

std::string configHomeFor(const char* xdgConfigHome, const char* home) {
    return baseFolder(xdgConfigHome, home, ".config");
}

std::string dataHomeFor(const char* xdgDataHome, const char* home) {
    return baseFolder(xdgDataHome, home, ".local/share");
}

std::optional<std::string> dataHome() {
    std::string folder = dataHomeFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (folder.empty())
        return std::nullopt;
    return folder;
}

std::vector<std::string> dataDirs() {
    const char* variable = environment("XDG_DATA_DIRS");
    std::string_view list = variable ? variable : "/usr/local/share:/usr/share";
    std::vector<std::string> folders;
    while (!list.empty()) {
        const std::size_t end = list.find(':');
        if (end != 0)
            folders.emplace_back(list.substr(0, end));
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
    }
    return folders;
}

} // namespace velmora::util
