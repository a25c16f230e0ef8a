// SPDX-License-Identifier: MIT
#include "settings_file_io.h"

#include "posix/file_descriptor.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::store {

namespace {

std::string describeErrno(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

std::int64_t nanoseconds(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

FileStamp stampFromStat(const struct stat& st) {
    FileStamp stamp;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modifiedNs = nanoseconds(st.st_mtim);
    stamp.changedNs = nanoseconds(st.st_ctim);
    return stamp;
}

using util::FileDescriptor;

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// mkdir -p with mode 0700 for each folder it creates; existing folders keep their mode.
bool createFolders(const std::string& folder, std::string* error) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return true;
        *error = folder + " is not a folder";
        return false;
    }
    std::string parent = folderOf(folder);
    if (parent != folder && !createFolders(parent, error))
        return false;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        *error = describeErrno(("cannot create folder " + folder).c_str(), errno);
        return false;
    }
    return true;
}

void syncFolder(const std::string& folder) {
    // Makes the rename itself durable. A failure here leaves a complete file behind either
    // way, so it is not worth a message.
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

std::string localTimeTag() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%S", &local);
    return text;
}

// rename() that fails with EEXIST instead of replacing TO.
int renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // The file system cannot rename without replacing: check first, which leaves a small
    // window that the file systems above do not have.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.c_str(), to.c_str());
}

} // namespace

FileStamp stampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        FileStamp missing;
        missing.error = errno;
        return missing;
    }
    return stampFromStat(st);
}

FileContents readWholeFile(const std::string& path) {
    FileContents contents;
    // Non-blocking so that a FIFO put in the file's place cannot hang the agent.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        int openError = errno;
        contents.stamp = stampOf(path);
        if (openError != ENOENT || contents.stamp.exists())
            contents.error = describeErrno("cannot be opened", openError);
        return contents;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        contents.stamp = stampOf(path);
        contents.error = describeErrno("cannot be examined", errno);
        return contents;
    }
    contents.stamp = stampFromStat(st);
    if (!S_ISREG(st.st_mode)) {
        contents.error = "is not a regular file";
        return contents;
    }
    contents.bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[64 * 1024];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            contents.error = describeErrno("cannot be read", errno);
            contents.bytes.clear();
            return contents;
        }
        if (n == 0)
            return contents;
        contents.bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string fileToReplace(const std::string& path) {
    // Followed by hand rather than with realpath(), which fails for a link to a file that is
    // not there yet: the write creates that file and the link stays. A loop (or a chain too
    // long to be anything else) replaces PATH itself; reading it fails first anyway.
    std::string file = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(file.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return file;
        char target[PATH_MAX];
        ssize_t length = ::readlink(file.c_str(), target, sizeof target - 1);
        if (length <= 0)
            return path;
        std::string next(target, static_cast<std::size_t>(length));
        file = next.front() == '/' ? next : folderOf(file) + "/" + next;
    }
    return path;
}

WriterLock::WriterLock(const std::string& file) {
    std::string ignored;
    const std::string folder = folderOf(file);
    if (!createFolders(folder, &ignored))
        return; // the write fails and says why
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        return;
    // A writer holds the lock for a few milliseconds; one stopped with the lock held must not
    // stop this process's writes for good.
    for (int attempt = 0; attempt < 300; ++attempt) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
            return;
        if (errno != EWOULDBLOCK && errno != EINTR)
            break; // a file system without locks
        ::usleep(10'000);
    }
    ::close(fd_);
    fd_ = -1;
}

WriterLock::~WriterLock() {
    if (fd_ >= 0)
        ::close(fd_); // drops the lock
}

std::optional<NewVersion> NewVersion::write(const std::string& file, std::string_view bytes,
                                            std::string* error) {
    const std::string folder = folderOf(file);
    if (!createFolders(folder, error))
        return std::nullopt;
    std::string temporary = folder + "/." + nameOf(file) + ".tmp-XXXXXX";
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        *error = describeErrno(("cannot create a file in " + folder).c_str(), errno);
        return std::nullopt;
    }
    NewVersion version(file, temporary, fd); // removes the file on the ways out below
    // Held until the rename: tells removeStaleTemporaries that this writer is alive. Without
    // locks on this file system the file is merely not protected.
    ::flock(fd, LOCK_EX | LOCK_NB);
    auto fail = [&](const char* what) {
        *error = describeErrno(what, errno);
        return std::nullopt;
    };
    if (::fchmod(fd, 0600) != 0)
        return fail("cannot set the file mode");
    if (!writeAll(fd, bytes))
        return fail("cannot write");
    if (::fsync(fd) != 0)
        return fail("cannot flush to disk");
    return version;
}

NewVersion::NewVersion(NewVersion&& other) noexcept
    : file_(std::move(other.file_)), temporary_(std::move(other.temporary_)),
      fd_(std::exchange(other.fd_, -1)) {}

NewVersion::~NewVersion() {
    if (fd_ < 0)
        return;
    ::unlink(temporary_.c_str()); // not renamed: unlinked while still locked
    ::close(fd_);
}

std::optional<NewVersion::Committed> NewVersion::commit(const FileStamp& expected,
                                                        std::string* error) {
    // Swapped with the old version rather than renamed over it: the version taken out shows
    // whether another program wrote the file after it was read, and then nothing of it is lost.
    Committed committed;
    int result = -1;
    for (int attempt = 0; attempt < 3; ++attempt) {
        result =
            ::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, file_.c_str(), RENAME_EXCHANGE);
        if (result == 0) {
            committed.replaced = temporary_;
            break;
        }
        if (errno == ENOENT) { // no file yet; one created meanwhile is swapped out after all
            result = renameWithoutReplacing(temporary_, file_);
            if (result == 0 || errno != EEXIST)
                break;
            continue;
        }
        if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)
            result = ::rename(temporary_.c_str(), file_.c_str()); // cannot swap here
        break;
    }
    if (result != 0) {
        *error = describeErrno(("cannot rename the new file over " + file_).c_str(), errno);
        return std::nullopt;
    }
    // The stamp is taken after the rename, which on some file systems touches the change time,
    // so that the store does not mistake its own write for another program's.
    struct stat st {};
    int statResult = ::fstat(fd_, &st);
    int statError = errno;
    ::close(std::exchange(fd_, -1));
    if (!committed.replaced.empty() && stampOf(committed.replaced).sameVersion(expected)) {
        ::unlink(committed.replaced.c_str());
        committed.replaced.clear();
    }
    syncFolder(folderOf(file_));
    if (statResult != 0) {
        committed.stamp.error = statError; // written; the next read merely loads it once more
        return committed;
    }
    committed.stamp = stampFromStat(st);
    return committed;
}

int removeStaleTemporaries(const std::string& file) {
    const std::string folder = folderOf(file);
    // Appended piece by piece: GCC 12 misreads "." + std::string at -O2 as an overlapping copy.
    std::string prefix = ".";
    prefix += nameOf(file);
    prefix += ".tmp-";
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string candidate = folder + "/" + name;
        struct stat st {};
        if (::lstat(candidate.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid())
            continue;
        FileDescriptor fd(
            ::open(candidate.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat opened {};
        // Only a lock that can be had shows that no writer is alive; the file must still be
        // the one looked at.
        if (fd.get() < 0 || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 ||
            ::fstat(fd.get(), &opened) != 0 || opened.st_ino != st.st_ino ||
            opened.st_dev != st.st_dev)
            continue;
        if (::unlink(candidate.c_str()) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

std::optional<std::string> moveAside(const std::string& path, std::string* error,
                                     const std::string& from) {
    const std::string& source = from.empty() ? path : from;
    const std::string base = path + ".corrupt-" + localTimeTag();
    for (int attempt = 1; attempt <= 100; ++attempt) {
        std::string candidate = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (renameWithoutReplacing(source, candidate) == 0)
            return candidate;
        if (errno != EEXIST) {
            *error = std::strerror(errno);
            return std::nullopt;
        }
    }
    *error = "too many files named " + base + "*";
    return std::nullopt;
}

} // namespace velmora::store
