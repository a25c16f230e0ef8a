// SPDX-License-Identifier: MIT
// Seeded random event streams on the simulated desktop: every invariant holds after every
// step of 10^4 events for each seed (a failure prints the seed and a scenario that shows it).

#include "random_run.h"

#include <gtest/gtest.h>

#include <sstream>

namespace velmora::random {
namespace {

class RandomEvents : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(RandomEvents, EveryInvariantHoldsAfterEveryStep) {
    std::ostringstream report;
    RunStats stats;
    // A crash shows the seed in the test's name.
    auto failure = runAndShrink(GetParam(), 10000, report, stats);
    EXPECT_FALSE(failure.failed) << report.str();
    EXPECT_EQ(stats.events, 10000u);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomEvents, ::testing::Values(1, 2, 0x5eed));

// A failure is cut down to the lines that make it: the launch and the line that breaks an
// invariant, out of a run with many events that have nothing to do with it.
TEST(RandomEventsShrink, KeepsOnlyTheLinesThatMakeTheFailure) {
    std::vector<std::string> lines = generateLines(7, 300);
    lines.insert(lines.end() - 100, "current com.example.NoSuchSource");
    Outcome outcome = replay(lines);
    ASSERT_TRUE(outcome.failed);
    ASSERT_NE(outcome.what.find("com.example.NoSuchSource"), std::string::npos) << outcome.what;

    std::vector<std::string> shortest = shrink(lines, outcome);
    ASSERT_FALSE(shortest.empty());
    EXPECT_EQ(shortest.back(), "current com.example.NoSuchSource");
    EXPECT_LE(shortest.size(), 2u);
    EXPECT_TRUE(replay(shortest).failed);
}

} // namespace
} // namespace velmora::random
