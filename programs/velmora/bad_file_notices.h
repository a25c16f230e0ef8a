// SPDX-License-Identifier: MIT
#pragma once
// The settings store's lines about bad files, on their way from whichever thread found the
// file to the main thread, which shows them where a user sees them (settings_file_alerts.h):
// standard error alone reaches nobody when the agent was started at login.

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace velmora::program {

class BadFileNotices {
  public:
    // Any thread, also with the store locked. Lines wait until taken.
    void add(const std::string& line);
    // WAKE is called after each line is added, on the adding thread, to have the main thread
    // take the lines; it must be quick and safe there. Empty: lines just wait. Once this
    // returns, the previous WAKE is no longer running and never runs again.
    void setWake(std::function<void()> wake);
    // The lines not taken yet, oldest first.
    std::vector<std::string> take();

  private:
    // Bounded: a file that turns bad again and again must not fill the memory.
    static constexpr std::size_t kMaxWaiting = 16;

    std::mutex mutex_;
    std::vector<std::string> lines_;
    std::function<void()> wake_;
};

} // namespace velmora::program
