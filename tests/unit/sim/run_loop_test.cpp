// SPDX-License-Identifier: MIT
// The virtual clock where no scenario reaches. (The order of work by due time and queue, due
// times inclusive, repeating and stopped timers, blocking and background sleeps and overlapping
// jobs: the times the scenarios expect, e.g. engine-switching.scenario's 1299 and 1300, the polls
// of launcher-spotlight.scenario and launcher-alfred.scenario, the blocking checks there and the
// overlapping jobs of address-bar.scenario; the order within one time: golden/tour.trace.)

#include "sim/sim_run_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::sim {
namespace {

using Log = std::vector<std::string>;

class RunLoopTest : public ::testing::Test {
  protected:
    void note(const std::string& what) { log.push_back(std::to_string(loop.now()) + " " + what); }

    SimRunLoop loop;
    Log log;
};

TEST_F(RunLoopTest, TimerActionMayReplaceItself) {
    std::shared_ptr<Timer> held;
    int fired = 0;
    std::function<void()> restart = [&] {
        ++fired;
        if (held)
            held->setFireDateDistantFuture();
        if (fired < 3)
            held = loop.scheduledTimer(Milliseconds(100), true, restart);
    };
    held = loop.scheduledTimer(Milliseconds(100), true, restart);
    loop.runUntil(10000);
    EXPECT_EQ(fired, 3);
}

TEST_F(RunLoopTest, ATargetTheClockHasPassedRunsNothingAndKeepsTheClock) {
    loop.dispatchAsyncMain([&] { loop.sleep(Milliseconds(100)); });
    loop.runUntil(50);
    EXPECT_EQ(loop.now(), 100);
    // A target the clock has already passed runs nothing and keeps the clock.
    loop.dispatchAfterMain(Milliseconds(0), [&] { note("late"); });
    loop.runUntil(80);
    EXPECT_EQ(loop.now(), 100);
    EXPECT_TRUE(log.empty());
    loop.runUntil(100);
    EXPECT_EQ(log, Log{"100 late"});
}

TEST(RunLoopTeardown, SuspendedJobsUnwindWhenTheLoopGoesAway) {
    bool finishedNormally = false;
    {
        SimRunLoop loop;
        loop.dispatchAsyncGlobal([&] {
            loop.sleep(Milliseconds(1000));
            finishedNormally = true;
        });
        loop.runUntil(10);
    }
    EXPECT_FALSE(finishedNormally);
}

} // namespace
} // namespace velmora::sim
