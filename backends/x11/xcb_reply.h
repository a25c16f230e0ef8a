// SPDX-License-Identifier: MIT
#pragma once
// Replies and errors that xcb hands out are malloc'ed by it and freed by the caller.

#include <cstdlib>
#include <memory>

namespace velmora::x11 {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

} // namespace velmora::x11
