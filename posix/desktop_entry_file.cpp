// SPDX-License-Identifier: MIT
#include "desktop_entry_file.h"

#include "file_descriptor.h"
#include "util/utf8.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::util {

namespace {

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<DesktopEntryKeys> parseDesktopEntry(std::string_view text) {
    if (!isValidUtf8(text) || text.find('\0') != std::string_view::npos)
        return std::nullopt;
    DesktopEntryKeys keys;
    bool seenGroup = false;
    bool inGroup = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            // Only the first group of this name counts.
            inGroup = !seenGroup && close != std::string_view::npos &&
                      line.substr(1, close - 1) == "Desktop Entry";
            seenGroup = seenGroup || inGroup;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inGroup || equals == std::string_view::npos)
            continue;
        const std::string_view key = trim(line.substr(0, equals));
        if (!key.empty())
            keys.emplace(std::string(key), std::string(trim(line.substr(equals + 1))));
    }
    if (!seenGroup)
        return std::nullopt;
    return keys;
}

std::optional<DesktopEntryKeys> readDesktopEntry(const std::string& path) {
    std::optional<std::string> text = readDesktopFileText(path);
    if (!text)
        return std::nullopt;
    return parseDesktopEntry(*text);
}

std::optional<std::string> readDesktopFileText(const std::string& path) {
    // O_NONBLOCK: a pipe put in the folder under a desktop file's name must not hang the agent;
    // fstat then turns it away.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    std::string bytes(kMaxDesktopFileBytes + 1, '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    if (filled > kMaxDesktopFileBytes)
        return std::nullopt;
    bytes.resize(filled);
    return bytes;
}

} // namespace velmora::util
