#include "config_home.h"

#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace velmora::xdg {

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

} // namespace

std::string configHomeFor(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && xdgConfigHome[0] == '/')
        return xdgConfigHome;
    std::string homeFolder = home && home[0] == '/' ? home : homeFromPasswordDatabase();
    if (homeFolder.empty() || homeFolder[0] != '/')
        return "";
    return homeFolder + "/.config";
}

} // namespace velmora::xdg
