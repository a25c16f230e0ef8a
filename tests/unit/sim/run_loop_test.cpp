// The virtual clock: order of work, timers, blocking and background sleeps.

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

TEST_F(RunLoopTest, WorkRunsByDueTimeThenByQueueOrder) {
    loop.dispatchAfterMain(Milliseconds(100), [&] { note("after"); });
    loop.scheduledTimer(Milliseconds(100), false, [&] { note("timer"); });
    loop.dispatchAsyncMain([&] { note("main"); });
    loop.scheduledTimer(Milliseconds(50), false, [&] { note("early"); });
    loop.runUntil(99);
    EXPECT_EQ(log, (Log{"0 main", "50 early"}));
    loop.runUntil(100); // due times are inclusive
    EXPECT_EQ(log, (Log{"0 main", "50 early", "100 after", "100 timer"}));
    EXPECT_EQ(loop.now(), 100);
}

TEST_F(RunLoopTest, RepeatingTimerStopsAtDistantFutureAndWhenInvalidated) {
    auto timer = loop.scheduledTimer(Milliseconds(200), true, [&] { note("tick"); });
    loop.runUntil(650);
    EXPECT_EQ(log, (Log{"200 tick", "400 tick", "600 tick"}));
    timer->setFireDateDistantFuture();
    loop.runUntil(5000);
    EXPECT_EQ(log.size(), 3u);

    auto other = loop.scheduledTimer(Milliseconds(100), true, [&] { note("other"); });
    loop.runUntil(5100);
    other->invalidate();
    loop.runUntil(9000);
    EXPECT_EQ(log.back(), "5100 other");
    EXPECT_EQ(log.size(), 4u);
}

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

TEST_F(RunLoopTest, BlockingSleepDelaysEverythingElseOnTheMainThread) {
    loop.scheduledTimer(Milliseconds(30), false, [&] { note("timer"); });
    loop.dispatchAsyncMain([&] {
        note("blocks");
        loop.sleep(Milliseconds(100));
        note("woke");
    });
    loop.dispatchAfterMain(Milliseconds(20), [&] { note("queued"); });
    loop.runUntil(50);
    // Due during the wait, run after it, in time order, at the later clock.
    EXPECT_EQ(log, (Log{"0 blocks", "100 woke", "100 queued", "100 timer"}));
    // A target the clock has already passed runs nothing and keeps the clock.
    loop.dispatchAfterMain(Milliseconds(0), [&] { note("late"); });
    loop.runUntil(80);
    EXPECT_EQ(loop.now(), 100);
    EXPECT_EQ(log.size(), 4u);
    loop.runUntil(100);
    EXPECT_EQ(log.back(), "100 late");
}

TEST_F(RunLoopTest, BackgroundSleepsLetMainWorkRun) {
    loop.dispatchAsyncGlobal([&] {
        note("job starts");
        loop.sleep(Milliseconds(10));
        note("job after 10");
        loop.dispatchAsyncMain([&] { note("handed to main"); });
        loop.sleep(Milliseconds(10));
        note("job ends");
    });
    loop.scheduledTimer(Milliseconds(5), false, [&] { note("main timer"); });
    loop.runUntil(100);
    EXPECT_EQ(log, (Log{"0 job starts", "5 main timer", "10 job after 10", "10 handed to main",
                        "20 job ends"}));
}

TEST_F(RunLoopTest, OverlappingJobsInterleaveDeterministically) {
    for (int j = 0; j < 3; ++j) {
        loop.dispatchAfterMain(Milliseconds(j * 15), [&, j] {
            loop.dispatchAsyncGlobal([&, j] {
                for (int k = 0; k < 3; ++k) {
                    note("job" + std::to_string(j) + "." + std::to_string(k));
                    loop.sleep(Milliseconds(10));
                }
            });
        });
    }
    loop.runUntil(1000);
    EXPECT_EQ(log, (Log{"0 job0.0", "10 job0.1", "15 job1.0", "20 job0.2", "25 job1.1", "30 job2.0",
                        "35 job1.2", "40 job2.1", "50 job2.2"}));
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
