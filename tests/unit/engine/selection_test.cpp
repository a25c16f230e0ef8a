// SPDX-License-Identifier: MIT
// Selecting input sources: the counter's limit, the hotkey guard. (A hotkey of the current
// source: hotkeys.scenario.)

#include "sim_agent.h"

#include <gtest/gtest.h>

#include <limits>

namespace velmora::testing {
namespace {

// Every request counts, also without effect: address-bar.scenario's click with ABC current and
// Dispatcher.ARuleForAMissingSourceStillCountsAndResets.
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

TEST(Selection, AHotkeyIsSkippedWhileALauncherIsInFront) {
    SimAgent sim;
    sim.addApp("com.apple.Spotlight", "Spotlight");
    sim.addApp("com.runningwithcrayons.Alfred-3", "Alfred 3");
    sim.launch();

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
