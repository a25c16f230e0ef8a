// SPDX-License-Identifier: MIT
// From activation to selection: delays, repeats, launchers, nameless applications; and the real
// desktops' timing, selection at once with the wait as a guard. (A new keymap bringing the front
// application's rule back: tests/e2e/keymap_change.sh.)

#include "sim_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

class Dispatcher : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.setRule("com.example.a", kGerman);
        sim.setRule("com.example.b", kRussian);
        sim.setRule("com.apple.Spotlight", kRussian);
        sim.setRule("com.runningwithcrayons.Alfred-3", kGerman);
        sim.launch();
        // The first activation after start takes the screen-change path: settle it here.
        sim.desktop.activate(std::string("com.example.c"));
        sim.at(1000);
        sim.desktop.trace().clear();
    }

    Lines selections() { return sim.traceWith("select"); }

    SimAgent sim;
};

TEST_F(Dispatcher, ARuleAlreadyCurrentSelectsNothing) {
    sim.desktop.world().currentInputID = kGerman;
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(1500);
    EXPECT_TRUE(sim.trace().empty());
}

TEST_F(Dispatcher, ARuleForAMissingSourceStillCountsAndResets) {
    sim.setRule("com.example.b", "com.example.gone");
    sim.desktop.activate(std::string("com.example.b"));
    sim.at(2000);
    EXPECT_EQ(sim.trace(), (Lines{"1100 defaults set changedTimes 1", "1100 reset"}));
}

TEST_F(Dispatcher, QuickSuccessionAppliesBothInOrder) {
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(1050);
    sim.desktop.activate(std::string("com.example.b"));
    sim.at(2000);
    EXPECT_EQ(selections(), (Lines{"1100 select com.apple.keylayout.German",
                                   "1150 select com.apple.keylayout.Russian"}));
    EXPECT_EQ(sim.traceWith("reset"), (Lines{"1100 reset", "1150 reset"}));
}

// Their rules apply at once: engine-launchers.scenario.
TEST_F(Dispatcher, LaunchersSelectWithoutReset) {
    sim.desktop.activate(std::string("com.apple.Spotlight"));
    sim.desktop.activate(std::string("com.runningwithcrayons.Alfred-3"));
    sim.at(2000);
    EXPECT_EQ(selections().size(), 2u);
    EXPECT_TRUE(sim.traceWith("reset").empty());
}

TEST_F(Dispatcher, AnIgnoredActivationClearsTheLauncherFlags) {
    sim.agent().launchers().spotlightPanelSeen = true;
    sim.agent().launchers().alfredPanelSeen = true;
    sim.agent().launchers().reportedPanelOpen = true;
    sim.desktop.activate(std::string(kOwnBundleIdentifier));
    EXPECT_FALSE(sim.agent().launchers().launcherPanelOpen());
}

// The real desktops' timing on the same desktop.
class DispatcherAtOnce : public Dispatcher {
  protected:
    void SetUp() override {
        sim.desktop.platform().facts.activationSelection = ActivationSelection::AtOnceWithGuard;
        Dispatcher::SetUp();
    }
};

TEST_F(DispatcherAtOnce, TheWaitOnlyPutsTheRuleBack) {
    sim.desktop.activate(std::string("com.example.a"));
    EXPECT_EQ(sim.current(), kGerman);
    sim.desktop.activate(std::string("com.example.a")); // a repeat: nothing
    sim.at(1500); // the guard finds German still current: nothing
    // Something else puts another source back within the wait (a desktop's own per-window
    // layout): the guard selects the rule's again, once.
    sim.desktop.activate(std::string("com.example.b"));
    sim.at(1550);
    sim.desktop.userSelects(kABC);
    sim.at(2000);
    EXPECT_EQ(selections(), (Lines{"1000 select com.apple.keylayout.German",
                                   "1500 select com.apple.keylayout.Russian",
                                   "1600 select com.apple.keylayout.Russian"}));
    EXPECT_EQ(sim.traceWith("reset"), (Lines{"1000 reset", "1500 reset", "1600 reset"}));
}

TEST_F(DispatcherAtOnce, TheGuardLeavesWhatTheAgentSelectedSinceAlone) {
    // Another application's rule within the wait, then a hotkey within the next one.
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(1050);
    sim.desktop.activate(std::string("com.example.b"));
    sim.at(1100);
    sim.agent().changeInputTo(kABC);
    sim.at(2000);
    EXPECT_EQ(selections().size(), 3u);
    EXPECT_EQ(sim.current(), kABC);
}

TEST_F(DispatcherAtOnce, AScreenChangeStillWaits200ms) {
    sim.desktop.world().mainScreenNumber = 2;
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(1199);
    EXPECT_EQ(sim.current(), kABC);
    sim.at(1200);
    EXPECT_EQ(sim.current(), kGerman);
}

// lastApp none for either kind: engine-startup.scenario.
TEST_F(Dispatcher, ANamelessActivationLetsTheLastRuleApplyAgain) {
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(1500);
    sim.desktop.activate(std::nullopt);
    sim.desktop.userSelects(kABC);
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(3000);
    EXPECT_EQ(sim.current(), kGerman);
}

} // namespace
} // namespace velmora::testing
