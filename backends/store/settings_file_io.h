#pragma once
// The file-system steps of the settings file: telling versions of the file apart, reading it
// whole, replacing it atomically and moving a bad one aside. POSIX calls only; failures come
// back as text for the messages the store prints.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace velmora::store {

// What tells one version of a file from another. Replacing the file changes its identity;
// rewriting it in place changes its size or its modification or change time.
struct FileStamp {
    int error = 0; // 0 when stat() worked; its errno otherwise (ENOENT: no file)
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    bool exists() const { return error == 0; }
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const std::string& path);

struct FileContents {
    FileStamp stamp;   // of the version whose bytes were read
    std::string bytes; // empty when the file is absent
    std::string error; // why the file exists but could not be read; empty otherwise
};

FileContents readWholeFile(const std::string& path);

// Writes BYTES to a new file (mode 0600) in PATH's folder, flushes it to disk and renames it
// over PATH, so that readers see the old or the new version and never a part of one. Missing
// folders are created with mode 0700. Returns the stamp of the new file, or none with ERROR set.
std::optional<FileStamp> replaceFileAtomically(const std::string& path, std::string_view bytes,
                                               std::string* error);

// Renames PATH to PATH.corrupt-<local time>, adding -2, -3... when that name is taken; an
// existing file is never replaced. Returns the new name, or none with ERROR set.
std::optional<std::string> moveAside(const std::string& path, std::string* error);

} // namespace velmora::store
