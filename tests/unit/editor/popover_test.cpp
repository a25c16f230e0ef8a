// SPDX-License-Identifier: MIT
// The status item and the popover where the popover scenario does not reach: the item and the
// table at start-up, a collapse below zero, early starts and a desktop without them (old systems:
// popover-old-system.scenario).

#include "editor_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

TEST(Popover, StartUpBuildsATemplateItemAndATableThatTakesMovesAndCopies) {
    EditorAgent sim;
    sim.launch();
    auto item = sim.desktop.views().statusItem();
    ASSERT_TRUE(item && item->image());
    EXPECT_TRUE(item->image()->isTemplate());
    EXPECT_EQ(sim.desktop.views().popover()->behavior(), PopoverBehavior::Transient);
    const auto& outlets = sim.controller().outlets();
    EXPECT_EQ(outlets.versionCode->stringValue(), "Version:" + sim.desktop.world().bundleVersion);
    // A desktop may space it.
    EditorAgent spaced;
    spaced.desktop.platform().facts.versionSeparator = ": ";
    spaced.launch();
    EXPECT_EQ(spaced.controller().outlets().versionCode->stringValue(),
              "Version: " + spaced.desktop.world().bundleVersion);
    auto* rules = dynamic_cast<sim::SimTableView*>(outlets.velmoraTableView.get());
    EXPECT_EQ(rules->localMask, DragOperations::Move);
    EXPECT_EQ(rules->externalMask, DragOperations::Copy);
    EXPECT_EQ(rules->draggedTypes, Lines{kRowDragType});
}

TEST(Popover, ACollapseThatWouldGoBelowZeroStopsAtZero) {
    EditorAgent sim;
    for (int i = 0; i < 5; ++i)
        sim.addInput("com.example.more" + std::to_string(i), "More");
    sim.launch(); // 8 entries: d = 426
    sim.button(&PopoverLayout::adjustSizeButton).performClick();
    // Shown again while open: back to 330 high, still expanded.
    sim.agent().applicationShouldHandleReopen(false);
    EXPECT_EQ(sim.popover().contentSize().height, 330);
    EXPECT_TRUE(sim.lists().popoverOpened);
    sim.button(&PopoverLayout::adjustSizeButton).performClick();
    EXPECT_EQ(sim.popover().contentSize().height, 0);
    sim.button(&PopoverLayout::adjustSizeButton).performClick();
    EXPECT_EQ(sim.popover().contentSize().height, 426);
}

TEST(Popover, WithinTheFirstMinuteTheAgentStaysInTheStatusBar) {
    EditorAgent sim;
    sim.desktop.world().uptimeOutput = "10:00  up 40 secs, 1 user, load averages: 0 0 0";
    sim.desktop.world().frontmost = 0;
    sim.SimAgent::launch();
    EXPECT_FALSE(sim.popover().isShown());
    EXPECT_EQ(sim.desktop.popoverController()->outlets().view, nullptr);
    EXPECT_EQ(sim.desktop.world().frontmost, 0u);
    // The first click loads the view, rebuilds the lists and shows the popover; the program
    // comes to the front and hears of its own activation.
    sim.desktop.views().statusItem()->click();
    EXPECT_TRUE(sim.popover().isShown());
    EXPECT_EQ(sim.apps().size(), 3u);
    EXPECT_EQ(sim.desktop.world().apps[*sim.desktop.world().frontmost].bundleIdentifier,
              kOwnBundleIdentifier);
    EXPECT_EQ(sim.agent().dispatcher().lastApp, std::nullopt);
}

TEST(Popover, ADesktopWithoutPopoverViewsRunsWithoutThem) {
    // The views factory's defaults: no status item, no popover, no layout.
    struct BareViews final : ViewFactory {
        explicit BareViews(ViewFactory& real) : real_(real) {}
        std::shared_ptr<Window> makeResetWindow() override { return real_.makeResetWindow(); }
        IndicatorViews makeIndicatorViews() override { return real_.makeIndicatorViews(); }
        ViewFactory& real_;
    };
    sim::SimDesktop desktop;
    BareViews views(desktop.views());
    Platform platform = desktop.platform();
    Platform bare{platform.defaults,
                  platform.inputSources,
                  platform.workspace,
                  platform.distributedNotifications,
                  platform.eventMonitor,
                  platform.windowList,
                  platform.screens,
                  platform.cursor,
                  platform.runLoop,
                  platform.childProcess,
                  platform.images,
                  platform.application,
                  views};
    desktop.startProgram();
    AppDelegate agent(bare);
    agent.applicationDidFinishLaunching();
    agent.openPopover();
    agent.addPopoverSizeTo(4);
    EXPECT_TRUE(agent.applicationShouldHandleReopen(false));
    EXPECT_FALSE(agent.popover());
    EXPECT_FALSE(agent.statusItem());
    EXPECT_EQ(agent.popoverViewController()->view(), nullptr);
}

} // namespace
} // namespace velmora::testing
