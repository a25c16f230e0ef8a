// SPDX-License-Identifier: MIT
#pragma once
// Whether sway answers on a socket, and single questions to it: what the desktop choice and
// the command line ask without an event loop, so plain blocking calls with a deadline.

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::sway {

struct SwayProbe {
    bool answers = false;
    std::string version;     // sway's human_readable version when it answered
    std::string explanation; // why not, when it did not
};

// Asks the socket at PATH for sway's version, waiting at most TIMEOUTMILLISECONDS in all.
SwayProbe probeSway(const std::string& path, int timeoutMilliseconds = 1000);

// Sends one message of TYPE to the socket at PATH and returns the payload of sway's answer,
// waiting at most TIMEOUTMILLISECONDS in all; none, with the reason in WHY, without one.
std::optional<std::string> askSway(const std::string& path, std::uint32_t type,
                                   const std::string& payload, int timeoutMilliseconds,
                                   std::string* why);

} // namespace velmora::sway
