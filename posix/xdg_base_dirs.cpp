// SPDX-License-Identifier: MIT
#include "xdg_base_dirs.h"

#include <cstdlib>
#include <pwd.h>
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

} // namespace

std::string configHomeFor(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && xdgConfigHome[0] == '/')
        return xdgConfigHome;
    std::string homeFolder = home && home[0] == '/' ? home : homeFromPasswordDatabase();
    if (homeFolder.empty() || homeFolder[0] != '/')
        return "";
    return homeFolder + "/.config";
}

std::optional<std::string> dataHome() {
    if (const char* dataHome = environment("XDG_DATA_HOME"))
        return dataHome;
    if (const char* home = environment("HOME"))
        return std::string(home) + (std::string_view(home).ends_with('/') ? "" : "/") +
               ".local/share";
    return std::nullopt;
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
