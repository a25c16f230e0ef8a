// SPDX-License-Identifier: MIT
#include "bad_file_notices.h"

#include <utility>

namespace velmora::program {

void BadFileNotices::add(const std::string& line) {
    std::lock_guard lock(mutex_);
    if (lines_.size() >= kMaxWaiting)
        lines_.erase(lines_.begin()); // the latest say where the settings are now
    lines_.push_back(line);
    // Called with the lock held, so that setWake can promise that an old WAKE has ended.
    if (wake_)
        wake_();
}

void BadFileNotices::setWake(std::function<void()> wake) {
    std::lock_guard lock(mutex_);
    wake_ = std::move(wake);
}

std::vector<std::string> BadFileNotices::take() {
    std::lock_guard lock(mutex_);
    return std::exchange(lines_, {});
}

} // namespace velmora::program
