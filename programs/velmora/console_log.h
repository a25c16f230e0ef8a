// SPDX-License-Identifier: MIT
#pragma once
// The application service for the one-shot subcommands, which run without Qt: messages go to
// standard error.

#include "platform/application.h"

#include <cstdio>

namespace velmora::program {

class ConsoleLog final : public Application {
  public:
    std::string bundlePath() override { return {}; }
    void log(const std::string& line) override {
        std::fprintf(stderr, "velmora: %s\n", line.c_str());
    }
};

} // namespace velmora::program
