// SPDX-License-Identifier: MIT
// Scenario files as the harness reads them: comments and strings (lexer), then every
// statement's parser. Nothing runs: parsing alone must refuse bad input with a line and a reason.

#include "fuzz_support.h"

#include "scenario.h"

#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    velmora::sim::Scenario scenario;
    if (auto error = velmora::sim::parseScenario(in, scenario)) {
        velmora::fuzz::check(!error->reason.empty(), "a refused scenario without a reason");
        velmora::fuzz::check(error->line >= 1, "a refused scenario without a line");
    }
    return 0;
}
