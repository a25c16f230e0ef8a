// SPDX-License-Identifier: MIT
#pragma once
// Runs a shell command and captures what it prints.

#include "platform/child_process.h"

#include <string>

namespace velmora {

// The command's standard output through "/bin/sh -c", decoded as UTF-8; output that is not
// valid UTF-8 gives the empty string.
std::string runShellCommandForOutput(ChildProcess& processes, const std::string& command);

} // namespace velmora
