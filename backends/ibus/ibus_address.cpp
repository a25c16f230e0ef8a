// SPDX-License-Identifier: MIT
#include "ibus_address.h"

#include "posix/desktop_entry_file.h"
#include "posix/xdg_base_dirs.h"

#include <sys/stat.h>

#include <cstdlib>

namespace velmora::ibus {

namespace {

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

bool isFolder(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// D-Bus's machine id: 32 hexadecimal digits, where D-Bus keeps it or where systemd does.
std::optional<std::string> machineId() {
    for (const char* path : {"/var/lib/dbus/machine-id", "/etc/machine-id"}) {
        auto text = util::readDesktopFileText(path);
        if (!text)
            continue;
        std::string id = trimmed(*text);
        if (id.size() == 32 && id.find_first_not_of("0123456789abcdef") == std::string::npos)
            return id;
    }
    return std::nullopt;
}

} // namespace

std::string addressFolder(const std::string& configHome) {
    return configHome + "/ibus/bus";
}

std::optional<std::string> addressFileName(std::string_view machineId, std::string_view display,
                                           std::string_view wayland) {
    if (!wayland.empty())
        return wayland.find('/') == std::string_view::npos
                   ? std::optional(std::string(machineId) + "-unix-" + std::string(wayland))
                   : std::nullopt;
    // As IBus names it: the host before the colon ("unix" when there is none), the display
    // number after it without the screen number.
    const auto colon = display.rfind(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    std::string_view host = display.substr(0, colon);
    std::string_view number = display.substr(colon + 1);
    number = number.substr(0, number.find('.'));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string_view::npos ||
        host.find('/') != std::string_view::npos)
        return std::nullopt;
    return std::string(machineId) + "-" + std::string(host.empty() ? "unix" : host) + "-" +
           std::string(number);
}

std::optional<std::string> addressInFileText(std::string_view text) {
    constexpr std::string_view key = "IBUS_ADDRESS=";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (line.starts_with(key)) {
            std::string address = trimmed(line.substr(key.size()));
            if (address.empty() || address.size() > kMaxAddressLength)
                return std::nullopt;
            return address;
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<std::string> currentAddressFile() {
    if (const char* address = std::getenv("IBUS_ADDRESS"); address && *address)
        return std::nullopt;
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    auto id = machineId();
    if (!id)
        return std::nullopt;
    auto name = addressFileName(*id, display ? display : "", wayland ? wayland : "");
    if (!name)
        return std::nullopt;
    return currentAddressFolder() + "/" + *name;
}

std::optional<std::string> currentAddress() {
    if (const char* address = std::getenv("IBUS_ADDRESS"); address && *address) {
        if (std::string_view(address).size() > kMaxAddressLength)
            return std::nullopt;
        return std::string(address);
    }
    auto file = currentAddressFile();
    if (!file)
        return std::nullopt;
    auto text = util::readDesktopFileText(*file);
    if (!text)
        return std::nullopt;
    return addressInFileText(*text);
}

std::string currentAddressFolder() {
    return addressFolder(util::configHomeFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
}

std::vector<std::string> addressWatchPaths(const std::string& folder,
                                           const std::optional<std::string>& file,
                                           const std::function<void(const std::string&)>& watch) {
    // The folders from FOLDER up to the root, FOLDER first.
    std::vector<std::string> chain{folder};
    while (chain.back().size() > 1 && chain.back().find('/', 1) != std::string::npos)
        chain.push_back(chain.back().substr(0, chain.back().rfind('/')));
    if (chain.back() != "/" && chain.back().starts_with('/'))
        chain.push_back("/");
    auto level = chain.size() - 1;
    for (std::size_t i = 0; i < chain.size(); ++i)
        if (isFolder(chain[i])) {
            level = i;
            break;
        }
    // Downwards: a folder is watched, then the one below it looked for.
    watch(chain[level]);
    while (level > 0 && isFolder(chain[level - 1]))
        watch(chain[--level]);
    std::vector<std::string> paths{chain[level]};
    struct stat status {};
    if (level == 0 && file && ::stat(file->c_str(), &status) == 0) {
        watch(*file);
        paths.push_back(*file);
    }
    return paths;
}

} // namespace velmora::ibus
