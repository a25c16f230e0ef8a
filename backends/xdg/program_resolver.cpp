// SPDX-License-Identifier: MIT
#include "program_resolver.h"

#include <array>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace velmora::xdg {

namespace {

// A PATH longer than this is not a real one.
constexpr std::size_t kMaxPathFolders = 256;

bool isWrapper(std::string_view word) {
    const std::size_t slash = word.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? word : word.substr(slash + 1);
    constexpr std::array<std::string_view, 9> wrappers = {"env", "sh",   "bash", "dash", "zsh",
                                                          "ksh", "fish", "csh",  "tcsh"};
    for (std::string_view wrapper : wrappers)
        if (name == wrapper)
            return true;
    return false;
}

std::optional<std::string> executableAt(const std::string& path) {
    if (path.size() >= PATH_MAX)
        return std::nullopt;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
        (status.st_mode & 0111) == 0)
        return std::nullopt;
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved))
        return std::nullopt;
    return std::string(resolved);
}

} // namespace

std::optional<std::string> resolveProgram(std::string_view word,
                                          std::optional<std::string_view> pathVariable) {
    if (word.empty() || word.find('\0') != std::string_view::npos || isWrapper(word))
        return std::nullopt;
    if (word.front() == '/')
        return executableAt(std::string(word));
    if (word.find('/') != std::string_view::npos || word.find('=') != std::string_view::npos ||
        !pathVariable)
        return std::nullopt;
    std::string_view folders = *pathVariable;
    for (std::size_t count = 0; !folders.empty() && count < kMaxPathFolders; ++count) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        folders.remove_prefix(colon == std::string_view::npos ? folders.size() : colon + 1);
        if (folder.empty() || folder.front() != '/')
            continue;
        if (auto found = executableAt(std::string(folder) + "/" + std::string(word)))
            return found;
    }
    return std::nullopt;
}

} // namespace velmora::xdg
