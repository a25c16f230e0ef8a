// From activation to selection: delays, repeats, screens, launchers, bad notifications.

#include "app/plain_functions.h"
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

TEST_F(Dispatcher, EachActivationSelectsItsRule100msLater) {
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(1099);
    EXPECT_EQ(sim.current(), kABC);
    sim.at(2000);
    sim.desktop.activate(std::string("com.example.b"));
    sim.at(3000);
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(4000);
    EXPECT_EQ(selections(), (Lines{"1100 select com.apple.keylayout.German",
                                   "2100 select com.apple.keylayout.Russian",
                                   "3100 select com.apple.keylayout.German"}));
    // Counter first, then the selection, then the refresh.
    EXPECT_EQ(sim.trace()[0], "1100 defaults set changedTimes 1");
    EXPECT_EQ(sim.trace()[2], "1100 reset");
    EXPECT_EQ(sim.traceWith("reset").size(), 3u);
}

TEST_F(Dispatcher, RepeatOfLastAppKeepsTheUsersChoice) {
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(1500);
    sim.desktop.userSelects(kABC);
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(3000);
    EXPECT_EQ(sim.current(), kABC);
    EXPECT_EQ(selections().size(), 1u);
}

TEST_F(Dispatcher, OwnActivationsChangeNothing) {
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(1500);
    sim.desktop.activate(std::string(kOwnBundleIdentifier));
    sim.desktop.userSelects(kABC);
    sim.desktop.activate(std::string("com.example.a")); // still the last app handled
    sim.at(3000);
    EXPECT_EQ(sim.agent().dispatcher().lastApp, "com.example.a");
    EXPECT_EQ(sim.current(), kABC);
}

TEST_F(Dispatcher, RuleAlreadyCurrentSelectsNothing) {
    sim.desktop.world().currentInputID = kGerman;
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(3000);
    EXPECT_TRUE(sim.trace().empty());
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

TEST_F(Dispatcher, ScreenChangeWaits200msAndUsesTheLatestApp) {
    sim.desktop.world().screens.push_back(sim::SimScreen{2, 1920, 1080});
    sim.desktop.world().mainScreenNumber = 2;
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(1150);
    // Back on screen 1, 150 ms later: the pending timer applies B's rule, not A's.
    sim.desktop.world().mainScreenNumber = 1;
    sim.desktop.activate(std::string("com.example.b"));
    sim.at(3000);
    EXPECT_EQ(selections(), (Lines{"1300 select com.apple.keylayout.Russian"}));
    EXPECT_EQ(sim.agent().dispatcher().lastScreenNumber, 1);
}

TEST_F(Dispatcher, LaunchersApplyAtOnceWithoutReset) {
    sim.desktop.activate(std::string("com.apple.Spotlight"));
    EXPECT_EQ(sim.current(), kRussian);
    sim.desktop.activate(std::string("com.runningwithcrayons.Alfred-3"));
    EXPECT_EQ(sim.current(), kGerman);
    sim.at(2000);
    EXPECT_EQ(selections(), (Lines{"1000 select com.apple.keylayout.Russian",
                                   "1000 select com.apple.keylayout.German"}));
    EXPECT_TRUE(sim.traceWith("reset").empty());
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

TEST_F(Dispatcher, UnhideIsHandledLikeActivation) {
    sim.desktop.unhide("com.example.b");
    sim.at(2000);
    EXPECT_EQ(selections(), (Lines{"1100 select com.apple.keylayout.Russian"}));
    EXPECT_EQ(frontAppNameID(), "com.example.c"); // unhiding does not bring it to the front
}

TEST_F(Dispatcher, RuleNamingMissingSourceStillResets) {
    sim.setRule("com.example.a", "com.example.gone");
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(2000);
    EXPECT_EQ(sim.trace(), (Lines{"1100 defaults set changedTimes 1", "1100 reset"}));
}

TEST_F(Dispatcher, ActivationClearsLauncherFlags) {
    sim.agent().launchers().spotlightWindiwOpened = true;
    sim.agent().launchers().alfredWindiwOpened = true;
    sim.desktop.activate(std::string(kOwnBundleIdentifier)); // even an ignored one
    EXPECT_FALSE(sim.agent().launchers().spotlightWindiwOpened);
    EXPECT_FALSE(sim.agent().launchers().alfredWindiwOpened);
}

TEST(DispatcherStart, TwoActivationsRightAfterStartApplyOnlyTheSecond) {
    SimAgent sim;
    sim.setRule("com.example.a", kGerman);
    sim.setRule("com.example.b", kRussian);
    sim.launch();
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(50);
    sim.desktop.activate(std::string("com.example.b"));
    sim.at(1000);
    // B is on the same screen as A, so its rule applies 100 ms after it; A's timer fires at
    // 200, finds lastApp pointing at B and B's input source current, and selects nothing.
    EXPECT_EQ(sim.traceWith("select"), (Lines{"150 select com.apple.keylayout.Russian"}));
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
    dispatcher.appChanged({NSWorkspaceDidActivateApplicationNotification, a});
    sim.at(100);
    dispatcher.appChanged({NSWorkspaceDidActivateApplicationNotification, a}); // a repeat
    dispatcher.appChanged({NSWorkspaceDidActivateApplicationNotification, self});
    sim.at(1000);
    EXPECT_EQ(checks, (std::vector<std::int64_t>{500, 600, 600}));

    sim.desktop.rawStore().setObjectForKey(PlistValue(false), "enableTipOfState");
    dispatcher.appChanged({NSWorkspaceDidActivateApplicationNotification, a});
    sim.at(3000);
    EXPECT_EQ(checks.size(), 3u);
}

} // namespace
} // namespace velmora::testing
