// SPDX-License-Identifier: MIT
#pragma once
// What a desktop's input sources last told the agent, and the broadcasts a change of it owes.

#include "platform/distributed_notifications.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

// Posts EnabledInputSourcesChanged when the input source IDs differ from the last ones told, and
// SelectedInputSourceChanged when the current one does. Main thread.
class InputSourceChanges {
  public:
    using Post = std::function<void(DesktopBroadcast)>;

    explicit InputSourceChanges(Post post) : post_(std::move(post)) {}

    // IDS and CURRENT as the agent found them at start: nothing is posted.
    void know(std::vector<std::string> ids, std::optional<std::string> current) {
        ids_ = std::move(ids);
        current_ = std::move(current);
    }

    void tell(std::vector<std::string> ids, std::optional<std::string> current) {
        if (ids != ids_) {
            ids_ = std::move(ids);
            post_(DesktopBroadcast::EnabledInputSourcesChanged);
        }
        if (current != current_) {
            current_ = std::move(current);
            post_(DesktopBroadcast::SelectedInputSourceChanged);
        }
    }

  private:
    Post post_;
    std::vector<std::string> ids_;
    std::optional<std::string> current_;
};

} // namespace velmora
