// SPDX-License-Identifier: MIT
#pragma once
// Child processes through QProcess: standard output is captured, standard input and error are
// the agent's own. A child gets a deadline: the agent asks on its main thread, which must not
// hang on a command that never ends.

#include "platform/child_process.h"

#include <chrono>

namespace velmora::qt {

class QtChildProcess final : public ChildProcess {
  public:
    static constexpr std::chrono::milliseconds kDefaultDeadline{2000};

    explicit QtChildProcess(std::chrono::milliseconds deadline = kDefaultDeadline)
        : deadline_(deadline) {}

    // A child that has not closed its output by the deadline is killed, and the answer is the
    // empty string, as for a child that printed nothing: half an answer is no answer.
    std::string launchAndReadStandardOutput(const std::string& launchPath,
                                            const std::vector<std::string>& arguments) override;

  private:
    std::chrono::milliseconds deadline_;
};

} // namespace velmora::qt
