// SPDX-License-Identifier: MIT
#pragma once
// Child processes.

#include <string>
#include <vector>

namespace velmora {

class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    virtual ~ChildProcess() = default;

    // Runs LAUNCHPATH with ARGUMENTS, standard output into a pipe, standard input and error
    // inherited; returns every byte the child wrote until it closed its output. A child that
    // cannot be started yields the empty string.
    virtual std::string launchAndReadStandardOutput(const std::string& launchPath,
                                                    const std::vector<std::string>& arguments) = 0;
};

} // namespace velmora
