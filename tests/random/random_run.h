// SPDX-License-Identifier: MIT
#pragma once
// Runs the seeded event stream on a fresh agent with the invariants checked after every
// step, and cuts a failing run down to a short list of scenario lines that still fails the
// same way.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::random {

struct RunStats {
    std::uint64_t events = 0; // generated events (one may be several lines)
    std::uint64_t lines = 0;  // lines run
};

// How one run ended.
struct Outcome {
    bool failed = false;
    std::string signature; // what failed, without the numbers that change as lines go
    std::string what;
    std::size_t line = 0; // index of the line after which it showed
};

// The lines of SEED's run: the world, then EVENTS events (flattened).
std::vector<std::string> generateLines(std::uint64_t seed, std::uint64_t events);

// Runs LINES on a fresh desktop. A line that does not parse (it names a window whose line was
// dropped) is skipped.
Outcome replay(const std::vector<std::string>& lines);

// Cuts LINES (whose run ends in OUTCOME) down to a short list that fails with the same
// signature: up to the failing line, without every chunk and single line whose removal keeps
// the failure, within MAXREPLAYS runs.
std::vector<std::string> shrink(std::vector<std::string> lines, const Outcome& outcome,
                                int maxReplays = 4000);

// The whole job for one seed: runs EVENTS events, reporting progress to OUT; on a failure
// shrinks it and prints the scenario to OUT. Returns the outcome. A crash (a sanitizer's
// report) ends the process; the seed was printed before the run.
Outcome runAndShrink(std::uint64_t seed, std::uint64_t events, std::ostream& out, RunStats& stats);

} // namespace velmora::random
