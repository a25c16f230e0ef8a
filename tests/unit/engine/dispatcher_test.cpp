// SPDX-License-Identifier: MIT
// From activation to selection: delays, repeats, screens, launchers, bad notifications; and the
// real desktops' timing, selection at once with the wait as a guard.

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

TEST_F(Dispatcher, ARuleAlreadyCurrentSelectsNothingAndAMissingSourceStillResets) {
    sim.desktop.world().currentInputID = kGerman;
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(1500);
    EXPECT_TRUE(sim.trace().empty());
    sim.setRule("com.example.b", "com.example.gone");
    sim.desktop.activate(std::string("com.example.b"));
    sim.at(2000);
    EXPECT_EQ(sim.trace(), (Lines{"1600 defaults set changedTimes 1", "1600 reset"}));
}

TEST_F(Dispatcher, QuickSuccessionAppliesBothInOrder) {
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(1050);
    sim.desktop.activate(std::string("com.example.b"));
    sim.at(2000);
    EXPECT_EQ(selections(), (Lines{"1100 select com.apple.keylayout.German",
                                   "1150 select com.apple.keylayout.Russian"}));
    EXPECT_EQ(sim.traceWith("reset"), (Lines{"1100 reset", "1150 reset"}));
    EXPECT_EQ(sim.current(), kRussian);
}

TEST_F(Dispatcher, LaunchersApplyAtOnceWithoutResetAndActivationsClearTheirFlags) {
    sim.desktop.activate(std::string("com.apple.Spotlight"));
    EXPECT_EQ(sim.current(), kRussian);
    sim.desktop.activate(std::string("com.runningwithcrayons.Alfred-3"));
    EXPECT_EQ(sim.current(), kGerman);
    sim.at(2000);
    EXPECT_EQ(selections(), (Lines{"1000 select com.apple.keylayout.Russian",
                                   "1000 select com.apple.keylayout.German"}));
    EXPECT_TRUE(sim.traceWith("reset").empty());
    // Every activation, even an ignored one, clears the launchers' open-panel flags.
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

TEST_F(DispatcherAtOnce, SelectsAsTheActivationArrivesAndTheWaitOnlyPutsItBack) {
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
    EXPECT_EQ(selections(), (Lines{"1000 select com.apple.keylayout.German",
                                   "1050 select com.apple.keylayout.Russian",
                                   "1100 select com.apple.keylayout.ABC"}));
    EXPECT_EQ(sim.current(), kABC);
    // The screen-change timer still waits 0.2 s, then selects at once.
    sim.desktop.world().mainScreenNumber = 2;
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(2199);
    EXPECT_EQ(sim.current(), kABC);
    sim.at(2200);
    EXPECT_EQ(sim.current(), kGerman);
}

TEST_F(Dispatcher, ApplicationsWithoutIdentifierAreHandledButFindNoRule) {
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(1500);
    sim.desktop.activate(std::nullopt);
    EXPECT_EQ(sim.agent().dispatcher().lastApp, std::nullopt);
    sim.desktop.activate(std::nullopt); // none again is still handled
    sim.desktop.activateWithoutApplication();
    sim.desktop.userSelects(kABC);
    // A is no longer the last app, so its rule applies again.
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(3000);
    EXPECT_EQ(selections(), (Lines{"1100 select com.apple.keylayout.German",
                                   "1600 select com.apple.keylayout.German"}));
}

TEST(DispatcherHooks, FollowCheckIsScheduledForEveryNotificationWhenIndicatorIsOn) {
    SimAgent sim;
    sim.desktop.rawStore().setObjectForKey(PlistValue(true), "enableTipOfState");
    Settings settings(sim.desktop.rawStore());
    InputSourceSelection selection(settings, sim.desktop.platform().inputSources);
    std::vector<std::int64_t> checks;
    ActivationDispatcher dispatcher(settings, selection, sim.desktop.platform().workspace,
                                    sim.desktop.platform().screens, sim.desktop.runLoop(),
                                    {.checkFollowWindow = [&] { checks.push_back(sim.now()); },
                                     .clearLauncherFlags = {},
                                     .reset = {}});
    RunningApplication self;
    self.bundleIdentifier = kOwnBundleIdentifier;
    RunningApplication a;
    a.bundleIdentifier = "com.example.a";
    dispatcher.appChanged({kApplicationActivatedNotification, a});
    sim.at(100);
    dispatcher.appChanged({kApplicationActivatedNotification, a}); // a repeat
    dispatcher.appChanged({kApplicationActivatedNotification, self});
    sim.at(1000);
    EXPECT_EQ(checks, (std::vector<std::int64_t>{500, 600, 600}));

    sim.desktop.rawStore().setObjectForKey(PlistValue(false), "enableTipOfState");
    dispatcher.appChanged({kApplicationActivatedNotification, a});
    sim.at(3000);
    EXPECT_EQ(checks.size(), 3u);
}

// A new keymap (the enabled sources changed) that left another layout current: a desktop that
// says so gets the front application's rule back once the burst's debounce has passed, and
// its 100 ms later; the simulated desktop keeps the layout the keymap left.
TEST(DispatcherLayoutChange, TheFrontApplicationsRuleAppliesAgainWhereTheDesktopSaysSo) {
    for (bool reapplies : {false, true}) {
        SimAgent sim;
        sim.setRule("com.example.a", kGerman);
        sim.desktop.platform().facts.reappliesRuleOnLayoutChange = reapplies;
        sim.launch();
        sim.desktop.activate(std::string("com.example.a"));
        sim.at(1000);
        sim.desktop.trace().clear();
        sim.desktop.world().currentInputID = kABC;
        sim.desktop.postDistributed(kEnabledKeyboardInputSourcesChangedNotification);
        sim.at(1100);
        sim.desktop.postDistributed(kSelectedKeyboardInputSourceChangedNotification);
        sim.at(2000);
        EXPECT_EQ(sim.traceWith("select"),
                  reapplies ? Lines{"1400 select com.apple.keylayout.German"} : Lines{});
        EXPECT_EQ(sim.current(), reapplies ? kGerman : kABC);
    }
}

} // namespace
} // namespace velmora::testing
