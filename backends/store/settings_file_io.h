// SPDX-License-Identifier: MIT
#pragma once
// The file-system steps of the settings file: telling versions of the file apart, reading it
// whole, replacing it atomically and moving a bad one aside. POSIX calls only; failures come
// back as text for the messages the store prints.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>

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
    // The same file with the same contents (a rename changes the change time, not this).
    bool sameVersion(const FileStamp& other) const {
        return exists() && other.exists() && device == other.device && inode == other.inode &&
               size == other.size && modifiedNs == other.modifiedNs;
    }
};

FileStamp stampOf(const std::string& path);

struct FileContents {
    FileStamp stamp;   // of the version whose bytes were read
    std::string bytes; // empty when the file is absent
    std::string error; // why the file exists but could not be read; empty otherwise
};

FileContents readWholeFile(const std::string& path);

// The file a write of PATH replaces: PATH itself, or the file its symbolic links lead to (which
// need not exist yet), so that a settings file kept as a link stays one.
std::string fileToReplace(const std::string& path);

// Keeps other processes of this program from writing the settings file in FILE's folder until
// it goes (an advisory lock on the folder; the kernel drops it when a process dies). Creates
// missing folders with mode 0700. Waits a few seconds at most for another writer, then goes on
// without the lock: the write is still atomic, only a merge may miss that writer's change.
class WriterLock {
  public:
    explicit WriterLock(const std::string& file);
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;
    ~WriterLock();

  private:
    int fd_ = -1;
};

// A complete new version of a file, written to a temporary file (mode 0600) in the folder of
// the file it replaces and flushed to disk, not yet in place. The temporary file is removed
// unless commit() renamed it over the file.
class NewVersion {
  public:
    // FILE is what fileToReplace() returned. None with ERROR set when it cannot be written.
    static std::optional<NewVersion> write(const std::string& file, std::string_view bytes,
                                           std::string* error);
    NewVersion(NewVersion&& other) noexcept;
    NewVersion& operator=(NewVersion&&) = delete;
    ~NewVersion();

    struct Committed {
        FileStamp stamp; // of the new file
        // When the version the new one took the place of was not EXPECTED (another program
        // wrote the file after it was read): that version, left under this name for the caller
        // to read and remove. "" otherwise.
        std::string replaced;
    };

    // Puts the new version in the place of the file in one step, so that readers see the old or
    // the new version and never a part of one. EXPECTED is the version the new one was made
    // from. None with ERROR set when it cannot.
    std::optional<Committed> commit(const FileStamp& expected, std::string* error);

  private:
    NewVersion(std::string file, std::string temporary, int fd)
        : file_(std::move(file)), temporary_(std::move(temporary)), fd_(fd) {}
    std::string file_;
    std::string temporary_;
    int fd_ = -1; // open, and locked against removeStaleTemporaries, until committed or removed
};

// Removes the temporary files that writers of FILE killed before their rename left behind:
// only this user's regular files named as NewVersion names them, and only those no living
// writer holds (each keeps its own locked until it is renamed or removed). Returns how many.
int removeStaleTemporaries(const std::string& file);

// Renames FROM (PATH when empty) to PATH.corrupt-<local time>, adding -2, -3... when that name
// is taken; an existing file is never replaced. Returns the new name, or none with ERROR set.
std::optional<std::string> moveAside(const std::string& path, std::string* error,
                                     const std::string& from = "");

} // namespace velmora::store
