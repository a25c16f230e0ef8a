// SPDX-License-Identifier: MIT
#pragma once
// Whether sway answers on a socket: what the desktop choice checks before the agent starts
// (no event loop yet, so plain blocking calls with a deadline).

#include <string>

namespace velmora::sway {

struct SwayProbe {
    bool answers = false;
    std::string version;     // sway's human_readable version when it answered
    std::string explanation; // why not, when it did not
};

// Asks the socket at PATH for sway's version, waiting at most TIMEOUTMILLISECONDS in all.
SwayProbe probeSway(const std::string& path, int timeoutMilliseconds = 1000);

} // namespace velmora::sway
