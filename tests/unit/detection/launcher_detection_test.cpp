// SPDX-License-Identifier: MIT
// Launcher detection on the simulated desktop: poll timers (stopped, replaced), the double-tap
// measure, what a panel sighting keeps, and how activations and closes meet.

#include "detection/launcher_detection.h"
#include "sim_agent.h"

#include <gtest/gtest.h>

#include <limits>

namespace velmora::testing {
namespace {

constexpr const char* kAlfred = "com.runningwithcrayons.Alfred-3";
constexpr const char* kMenuTracking = "com.apple.HIToolbox.cancelMenuTrackingNotification";

PlistDictionary panel(const char* owner, int layer, int x, int width) {
    return onscreenWindow(owner, rect(x, 100, width, 60), layer);
}

class Launchers : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.addApp(kAlfred, "Alfred");
        sim.setRule("com.apple.Spotlight", kGerman);
        sim.setRule(kAlfred, kRussian);
        sim.setRule("com.example.a", kABC);
        sim.desktop.rawStore().setObjectForKey(PlistValue(true), "followWindow");
        sim.launch();
    }

    LauncherDetection& launchers() { return sim.agent().launchers(); }
    void showWindow(const std::string& handle, PlistDictionary entry) {
        sim.desktop.world().putWindowInFront(handle, std::move(entry));
    }
    void removeWindow(const std::string& handle) { sim.desktop.world().removeWindow(handle); }
    void flags(std::uint64_t raw, double seconds) {
        Event e;
        e.type = EventType::FlagsChanged;
        e.modifierFlags = raw;
        e.timestamp = seconds;
        sim.desktop.postEvent(e);
    }

    SimAgent sim;
};

// 1.0 to 1.25 a double tap, 3.0 to 3.26 (0.25999999999999979) none: launcher-alfred.scenario.
TEST_F(Launchers, DoubleTapWindowIsStrictAndMeasuredInWholeMicroseconds) {
    EXPECT_TRUE(LauncherDetection::isDoubleTapGap(0.259999));
    EXPECT_FALSE(LauncherDetection::isDoubleTapGap(0.26));
    EXPECT_FALSE(LauncherDetection::isDoubleTapGap(1e300));
    EXPECT_FALSE(LauncherDetection::isDoubleTapGap(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_TRUE(LauncherDetection::isDoubleTapGap(-1e300)); // a clock that went back
}

// The 50 ms wait and Alfred's rule: launcher-alfred.scenario.
TEST_F(Launchers, APanelFoundWithNobodyInFrontMakesLastAppEmpty) {
    sim.at(1000);
    flags(0x100108, 1.0);
    flags(0x100, 1.1);
    showWindow("alfred", panel("Alfred", 27, 0, 600));
    flags(0x100108, 1.2);
    EXPECT_EQ(sim.agent().dispatcher().lastApp, "");
}

TEST_F(Launchers, APressReplacesTheRunningOpenPoll) {
    sim.at(1000);
    flags(0x80120, 1.0); // poll due at 1100, 1200...
    sim.at(1050);
    flags(0x80130, 1.05); // replaced: due at 1150, 1250...
    showWindow("alfred", panel("Alfred", 27, 0, 600));
    sim.at(1149);
    EXPECT_FALSE(launchers().alfredPanelSeen);
    sim.at(1150);
    EXPECT_TRUE(launchers().alfredPanelSeen);
    EXPECT_EQ(sim.traceWith("select"), (Lines{"1150 select com.apple.keylayout.Russian"}));
}

TEST_F(Launchers, AStoppedPollNeverFiresAgain) {
    // Spotlight opens and closes; its close poll is stopped. When the panel comes back with
    // the flag false, a poll still firing would take it for a new sighting and move the
    // indicator there.
    showWindow("spot", panel("Spotlight", 25, 300, 640));
    sim.at(1000);
    sim.desktop.postDistributed(kMenuTracking);
    removeWindow("spot");
    sim.at(1300);
    EXPECT_FALSE(launchers().spotlightPanelSeen);
    sim.desktop.trace().clear();
    showWindow("spot", panel("Spotlight", 25, 300, 640));
    sim.at(5000);
    EXPECT_EQ(sim.traceWith("origin"), Lines{});
    EXPECT_EQ(sim.traceWith("select"), Lines{});

    // The same for the open poll after a release without the Function bit.
    flags(0x80120, 5.0);
    flags(0x100, 5.01);
    sim.at(5150);
    showWindow("alfred", panel("Alfred", 27, 0, 600));
    sim.at(8000);
    EXPECT_FALSE(launchers().alfredPanelSeen);
}

TEST_F(Launchers, ASecondSightingKeepsTheFirstRectangle) {
    showWindow("alfred", panel("Alfred", 27, 10, 600));
    EXPECT_TRUE(launchers().alfredWindowOpened());
    launchers().alfredPanelSeen = true;
    showWindow("alfred", panel("Alfred", 27, 500, 600));
    EXPECT_TRUE(launchers().alfredWindowOpened());
    sim.at(1000);
    // One placement, 0.1 s after the first sighting, at the first rectangle.
    EXPECT_EQ(sim.traceWith("origin"), (Lines{"100 indicator origin 588 778"}));
}

TEST_F(Launchers, AnActivationClosesThePanelStateButTheClosePollStillRestores) {
    sim.desktop.activate(std::string("com.example.b"));
    sim.at(1000);
    showWindow("spot", panel("Spotlight", 25, 300, 640));
    sim.desktop.postDistributed(kMenuTracking);
    EXPECT_EQ(sim.current(), kGerman);
    sim.desktop.activate(std::string("com.example.a"));
    EXPECT_FALSE(launchers().spotlightPanelSeen);
    sim.at(1300);
    EXPECT_EQ(sim.current(), kABC);
    sim.desktop.trace().clear();
    showWindow("front", onscreenWindow("Alpha", rect(0, 0, 100, 100)));
    sim.at(1400);
    removeWindow("spot");
    sim.at(1700);
    // The poll steps while the panel was still there (1300) did not take it for a new
    // sighting. Once it is gone (1500): lastApp is Alpha's by now, its rule again (already
    // current: no selection), and the indicator goes to Alpha's window.
    EXPECT_EQ(sim.traceWith("select"), Lines{});
    EXPECT_EQ(sim.traceWith("origin"), (Lines{"1500 indicator origin 75 805"}));
}

// rofi and dmenu on X11: the desktop itself reports their panels opening and closing.
TEST_F(Launchers, AReportedPanelHasItsRuleWhileOpen) {
    sim.setRule("Rofi", kRussian);
    sim.setRule("com.example.b", kGerman);
    sim.desktop.activate(std::string("com.example.b"));
    sim.at(1000);
    sim.desktop.trace().clear();
    auto post = [this](const char* name, std::optional<PlistDictionary> bounds) {
        RunningApplication rofi;
        rofi.bundleIdentifier = "Rofi";
        WorkspaceNotification notification{name, rofi, std::move(bounds)};
        for (const auto& observer : sim.desktop.world().workspaceObservers[name])
            observer(notification);
    };
    post(kLauncherPanelDidOpenNotification, rect(300, 100, 640, 60));
    EXPECT_EQ(sim.current(), kRussian);
    EXPECT_TRUE(launchers().launcherPanelOpen());
    sim.at(1500);
    post(kLauncherPanelDidCloseNotification, std::nullopt);
    EXPECT_FALSE(launchers().launcherPanelOpen());
    sim.at(2000);
    // Its rule while open, the front application's after: tests/e2e/launcher.sh. At the panel's
    // top-right corner 0.1 s after it opened; back at the front window (none on screen) once it
    // closed.
    EXPECT_EQ(sim.traceWith("origin"),
              (Lines{"1100 indicator origin 918 778", "1500 indicator origin -25 905"}));
}

TEST_F(Launchers, AlfredRunningIsRememberedUntilAnotherEditionIsFound) {
    EXPECT_TRUE(launchers().checkIfAlfredRunning());
    sim.desktop.quitApp(kAlfred);
    EXPECT_FALSE(launchers().checkIfAlfredRunning());
    EXPECT_EQ(launchers().realAlfredAppID, kAlfred);
    sim.desktop.launchApp("com.runningwithcrayons.Alfred-5");
    EXPECT_TRUE(launchers().checkIfAlfredRunning());
    EXPECT_EQ(launchers().realAlfredAppID, "com.runningwithcrayons.Alfred-5");
}

} // namespace
} // namespace velmora::testing
