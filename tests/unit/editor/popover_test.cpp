// SPDX-License-Identifier: MIT
// The popover where the popover scenario does not reach: the version label, a collapse below
// zero, a desktop without popover views. (A start within the first minute:
// popover-old-system.scenario and launcher-spotlight.scenario.)

#include "editor_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

TEST(Popover, TheVersionLabelTakesTheDesktopsSeparator) {
    for (const char* separator : {":", ": "}) {
        EditorAgent sim;
        sim.desktop.platform().facts.versionSeparator = separator;
        sim.launch();
        EXPECT_EQ(sim.controller().outlets().versionCode->stringValue(),
                  "Version" + std::string(separator) + sim.desktop.world().bundleVersion);
    }
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
