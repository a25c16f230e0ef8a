// SPDX-License-Identifier: MIT
// The application list: rules first, running applications next, the stored order on top;
// what the user removed stays out; launches append.

#include "editor_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

TEST(ApplicationList, OnlyRegularApplicationsAndTheLaunchersAreListed) {
    EditorAgent sim;
    sim.addApp("com.apple.Spotlight", "Spotlight", ActivationPolicy::Accessory);
    sim.addApp("com.runningwithcrayons.Alfred-3", "Alfred", ActivationPolicy::Prohibited);
    sim::SimApp nameless;
    nameless.name = "Nameless";
    sim.desktop.world().apps.push_back(nameless);
    sim.launch();
    EXPECT_EQ(sim.apps(), (Lines{"com.example.a", "com.example.b", "com.example.c",
                                 "com.apple.Spotlight", "com.runningwithcrayons.Alfred-3"}));
}

// Also when launched again: editor-list.scenario.
TEST(ApplicationList, RemovedApplicationsStayOutUnlessTheyHaveARule) {
    EditorAgent sim;
    sim.setStored("notDisplayAppName", strings({"com.example.b", "com.example.c"}));
    sim.setRule("com.example.c", kGerman);
    sim.launch();
    EXPECT_EQ(sim.apps(), (Lines{"com.example.c", "com.example.a"}));
}

TEST(ApplicationList, LaterShowingsKeepRowsAndAppendNewOnes) {
    EditorAgent sim;
    sim.launch();
    const Lines first = sim.apps();
    const auto catalogue = sim.lists().catalogue;
    sim.reopenPopover();
    EXPECT_EQ(sim.apps(), first);
    EXPECT_EQ(sim.lists().catalogue, catalogue);
    // A quit application keeps its row; a new rule joins at the end.
    sim.desktop.quitApp("com.example.a");
    sim.addApp("com.example.d", "Delta", ActivationPolicy::Regular, false);
    sim.setRule("com.example.d", kGerman);
    sim.reopenPopover();
    EXPECT_EQ(sim.apps(),
              (Lines{"com.example.a", "com.example.b", "com.example.c", "com.example.d"}));
}

// A launch appending whatever the policy: editor-list.scenario.
TEST(ApplicationList, OnlyALaunchOfANewApplicationReloads) {
    EditorAgent sim;
    sim.launch();
    sim.desktop.launchApp("com.example.a");
    EXPECT_TRUE(sim.traceWith("reload rules").empty());
    sim.addApp("com.example.d", "Delta", ActivationPolicy::Regular, false);
    sim.desktop.launchApp("com.example.d");
    EXPECT_EQ(sim.traceWith("reload rules"), Lines{"0 reload rules"});
}

TEST(ApplicationList, LaunchesBeforeThePopoverLoadedAreNotObserved) {
    EditorAgent sim;
    sim.desktop.world().uptimeOutput = "10:00  up 12 secs, 1 user, load averages: 0 0 0";
    sim.SimAgent::launch();
    EXPECT_EQ(sim.desktop.ruleTable(), nullptr);
    EXPECT_FALSE(sim.lists().allApplications);
    sim.desktop.launchApp("com.example.a");
    EXPECT_FALSE(sim.lists().allApplications);
}

TEST(ApplicationList, BadEntriesOfTheStoredListsAreSkipped) {
    EditorAgent sim;
    sim.setStored("velmora", PlistValue("not a dictionary"));
    sim.setStored("orderOfAppsRule",
                  PlistValue(PlistArray{PlistValue(7), PlistValue("com.example.c"),
                                        PlistValue(PlistDictionary{})}));
    sim.setStored("notDisplayAppName",
                  PlistValue(PlistArray{PlistValue(true), PlistValue("com.example.b")}));
    sim.launch();
    EXPECT_EQ(sim.apps(), (Lines{"com.example.c", "com.example.a"}));
}

} // namespace
} // namespace velmora::testing
