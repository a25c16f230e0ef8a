// SPDX-License-Identifier: MIT
#pragma once
// The windows a desktop told of, grouped by application: the running applications are those
// with a window, in the order they first appeared. WINDOWID is the desktop's name for a
// window. Main thread.

#include "platform/window_event_workspace.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace velmora {

template <typename WindowId> class ApplicationWindows {
  public:
    // Windows remembered at most: a full list takes no new window.
    static constexpr std::size_t kMaxWindows = 10000;

    bool full() const { return windows_.size() >= kMaxWindows; }

    // The window ID shows WINDOW's application now. True when no window of that application
    // was known before (it launched).
    bool remember(const WindowId& id, const ApplicationWindow& window) {
        const bool launched = std::find(order_.begin(), order_.end(), window.key) == order_.end();
        if (launched)
            order_.push_back(window.key);
        if (!full() || windows_.contains(id))
            windows_.insert_or_assign(id, window);
        return launched;
    }

    void forget(const WindowId& id) {
        const auto closed = windows_.find(id);
        if (closed == windows_.end())
            return;
        const std::string key = closed->second.key;
        windows_.erase(closed);
        if (std::none_of(windows_.begin(), windows_.end(),
                         [&](const auto& window) { return window.second.key == key; }))
            std::erase(order_, key);
    }

    // Each application once, as its first window (by id) shows it.
    std::vector<RunningApplication> applications() const {
        std::vector<RunningApplication> result;
        for (const std::string& key : order_)
            for (const auto& [id, window] : windows_)
                if (window.key == key) {
                    result.push_back(window.application);
                    break;
                }
        return result;
    }

  private:
    std::map<WindowId, ApplicationWindow> windows_;
    std::vector<std::string> order_; // application keys, by first appearance
};

} // namespace velmora
