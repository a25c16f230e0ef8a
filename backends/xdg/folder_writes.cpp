// SPDX-License-Identifier: MIT
#include "folder_writes.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace velmora::xdg {

namespace {

std::string reason(int error) {
    return std::system_category().message(error);
}

// The reason, naming the folder in the way when that is not FOLDER itself.
std::string reasonAt(const std::string& folder, const std::string& at, int error) {
    return at == folder ? reason(error) : at + ": " + reason(error);
}

std::optional<std::string> writeAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t done = ::write(fd, text.data() + written, text.size() - written);
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return reason(errno);
        written += static_cast<std::size_t>(done);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> makeFolders(const std::string& folder) {
    if (folder.empty() || folder.front() != '/')
        return "not an absolute path";
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string prefix = folder.substr(0, end);
        if (!prefix.empty() && prefix.back() != '/' && ::mkdir(prefix.c_str(), 0700) != 0) {
            const int error = errno;
            struct stat status {};
            if (error != EEXIST)
                return reasonAt(folder, prefix, error);
            if (::stat(prefix.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
                return reasonAt(folder, prefix, ENOTDIR);
        }
        if (end == std::string::npos)
            return std::nullopt;
    }
}

std::optional<std::string> replaceFile(const std::string& folder, const std::string& name,
                                       const std::string& text) {
    // A leading dot and no ".desktop" at the end: readers of the folder never take the
    // temporary file for an entry.
    std::string temporary = folder + "/." + name + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return reason(errno);
    std::optional<std::string> failure = writeAll(fd, text);
    if (!failure && ::fsync(fd) != 0)
        failure = reason(errno);
    if (::close(fd) != 0 && !failure)
        failure = reason(errno);
    if (!failure && ::rename(temporary.c_str(), (folder + "/" + name).c_str()) != 0)
        failure = reason(errno);
    if (failure) {
        ::unlink(temporary.c_str());
        return failure;
    }
    // The rename itself reaches the disk with the folder; a failure here loses nothing that
    // is not already in place.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return std::nullopt;
}

} // namespace velmora::xdg
