// SPDX-License-Identifier: MIT
#pragma once
// The input-method frameworks the agent can take its input sources from, in the order in which
// they win when several run.

#include "platform/distributed_notifications.h"
#include "platform/input_method_framework.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora::program {

struct InputMethodFrameworks {
    std::vector<std::unique_ptr<InputMethodFramework>> owned;

    std::vector<InputMethodFramework*> inOrder() const;
};

// The frameworks, each watching for its own bus. POST announces a framework's new input sources
// or current one; LOG says what goes wrong with a framework's answers, once. Main thread.
InputMethodFrameworks makeInputMethodFrameworks(std::function<void(DesktopBroadcast)> post,
                                                std::function<void(const std::string&)> log);

} // namespace velmora::program
