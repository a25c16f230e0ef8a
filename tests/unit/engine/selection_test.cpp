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
// How stored counters of other types are read: SettingsTest.CounterHoldsAtTheEndsOfItsRange.
TEST(Selection, CounterHoldsAtItsLimitInsteadOfWrapping) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    SimAgent sim;
    sim.launch();
    sim.desktop.rawStore().setObjectForKey(PlistValue(kMax), "changedTimes");
    sim.agent().selection().changeInputTo(kGerman);
    EXPECT_EQ(sim.stored("changedTimes"), PlistValue(kMax));
    EXPECT_EQ(sim.current(), kGerman);
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
