// SPDX-License-Identifier: MIT
#pragma once
// An open file descriptor, closed on every way out of the function that holds it.

#include <unistd.h>

namespace velmora::util {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    // Negative when the open failed.
    int get() const { return fd_; }
    // Closes now and reports the result: on some file systems close() is where a failed write
    // shows up.
    int close() {
        int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

  private:
    int fd_;
};

} // namespace velmora::util
