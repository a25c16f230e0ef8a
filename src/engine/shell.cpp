// SPDX-License-Identifier: MIT
#include "engine/shell.h"

#include "util/utf8.h"

namespace velmora {

std::string runShellCommandForOutput(ChildProcess& processes, const std::string& command) {
    std::string output = processes.launchAndReadStandardOutput("/bin/sh", {"-c", command});
    return util::isValidUtf8(output) ? output : std::string();
}

} // namespace velmora
