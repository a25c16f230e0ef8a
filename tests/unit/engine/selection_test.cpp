// SPDX-License-Identifier: MIT
// Selecting input sources: the counter, the filter on enabled sources, the hotkey guard.

#include "sim_agent.h"

#include <gtest/gtest.h>

#include <limits>

namespace velmora::testing {
namespace {

TEST(Selection, EveryRequestCountsEvenWithoutEffect) {
    SimAgent sim;
    sim.addInput("com.example.disabled", "Off", /*enabled=*/false);
    sim.launch(); // the counter starts as "0": engine-switching.scenario

    InputSourceSelection& selection = sim.agent().selection();
    selection.changeInputTo(kABC); // already current: selected again all the same
    selection.changeInputTo("com.example.missing");
    selection.changeInputTo("com.example.disabled");
    selection.changeInputTo(kGerman);
    EXPECT_EQ(sim.stored("changedTimes"), PlistValue(4));
    EXPECT_EQ(sim.traceWith("select"),
              (Lines{"0 select " + std::string(kABC), "0 select " + std::string(kGerman)}));
    EXPECT_EQ(sim.current(), kGerman);
    // The counter is written but not flushed.
    EXPECT_TRUE(sim.traceWith("sync").empty());
}

TEST(Selection, CounterHoldsAtItsLimitInsteadOfWrapping) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    for (PlistValue stored : {PlistValue(kMax), PlistValue(1e30), PlistValue("1e30000")}) {
        SimAgent sim;
        sim.launch();
        sim.desktop.rawStore().setObjectForKey(stored, "changedTimes");
        sim.agent().selection().changeInputTo(kGerman);
        sim.agent().selection().changeInputTo(kABC);
        // "1e30000" is read as the integer it begins with: 1.
        const std::int64_t expected = stored.isString() ? 3 : kMax;
        EXPECT_EQ(sim.stored("changedTimes"), PlistValue(expected));
        EXPECT_EQ(sim.current(), kABC);
    }
}

TEST(Selection, GuardedSelectionSkipsCurrentAndLaunchers) {
    SimAgent sim;
    sim.addApp("com.apple.Spotlight", "Spotlight");
    sim.addApp("com.runningwithcrayons.Alfred-3", "Alfred 3");
    sim.launch();

    sim.agent().changeInputTo(kABC); // current already
    for (const char* launcher : {"com.apple.Spotlight", "com.runningwithcrayons.Alfred-3"}) {
        sim.desktop.world().frontmost = sim.desktop.world().appIndex(launcher);
        sim.agent().changeInputTo(kGerman);
    }
    EXPECT_TRUE(sim.trace().empty());
    EXPECT_EQ(sim.stored("changedTimes"), PlistValue("0"));

    sim.desktop.world().frontmost = sim.desktop.world().appIndex("com.example.a");
    sim.agent().changeInputTo(kGerman);
    EXPECT_EQ(sim.trace(), (Lines{"0 defaults set changedTimes 1",
                                  "0 select " + std::string(kGerman), "0 reset"}));
}

} // namespace
} // namespace velmora::testing
