// SPDX-License-Identifier: MIT
#pragma once
// The input-method frameworks the agent can take its input sources from, in the order in which
// they win when several run.

#include "platform/distributed_notifications.h"
#include "platform/input_method_framework.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::program {

struct InputMethodFrameworks {
    std::vector<std::unique_ptr<InputMethodFramework>> owned;

    std::vector<InputMethodFramework*> inOrder() const;
};

// The frameworks, each watching the session bus for its own. POST announces a change that a
// framework made on its own (the user's choice of input method); LOG says what goes wrong with
// a framework's answers, once. Without IBUS, IBus is left to the desktop (GNOME Shell owns IBus
// in its session and selects its engines itself). Main thread.
InputMethodFrameworks makeInputMethodFrameworks(std::function<void(DesktopBroadcast)> post,
                                                std::function<void(const std::string&)> log,
                                                bool ibus = true);

// For the command line: the input sources of the first framework that runs, as
// sourcesMatching(none, ALL) lists them, asked with blocking calls of a short time-out; none
// when no framework answers. Without IBUS, IBus is not asked (see makeInputMethodFrameworks).
std::optional<std::vector<InputSource>> runningFrameworkSources(bool all, bool ibus = true);

} // namespace velmora::program
