#pragma once
// Child processes through QProcess: standard output is captured, standard input and error are
// the agent's own.

#include "platform/child_process.h"

namespace velmora::qt {

class QtChildProcess final : public ChildProcess {
  public:
    std::string launchAndReadStandardOutput(const std::string& launchPath,
                                            const std::vector<std::string>& arguments) override;
};

} // namespace velmora::qt
