// SPDX-License-Identifier: MIT
#pragma once
// The log of the one-shot subcommands, which run without Qt: lines go to standard error.

#include <cstdio>
#include <string>

namespace velmora::program {

inline void logToConsole(const std::string& line) {
    std::fprintf(stderr, "velmora: %s\n", line.c_str());
}

} // namespace velmora::program
