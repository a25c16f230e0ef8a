// The status item and the popover: showing, toggling, the expand/collapse geometry, hiding
// the item after a close and bringing it back on reopen.

#include "editor_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

Rect frameOf(const std::shared_ptr<View>& view) {
    return view ? view->frame() : Rect{};
}

TEST(Popover, StartUpBuildsTheItemAndShowsTheLoadedViewCollapsed) {
    EditorAgent sim;
    sim.launch();
    auto item = sim.desktop.views().statusItem();
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->highlightMode());
    ASSERT_TRUE(item->image());
    EXPECT_TRUE(item->image()->isTemplate());
    EXPECT_EQ(sim.desktop.views().popover()->behavior(), PopoverBehavior::Transient);
    EXPECT_TRUE(sim.popover().isShown());
    EXPECT_EQ(sim.popover().contentSize(), (Size{288, 330}));
    const auto& outlets = sim.controller().outlets();
    EXPECT_EQ(frameOf(outlets.view), (Rect{{0, 0}, {288, 330}}));
    EXPECT_EQ(outlets.versionCode->stringValue(), "Version:" + sim.desktop.world().bundleVersion);
    EXPECT_EQ(sim.button(&PopoverLayout::adjustSizeButton).imageName(), "close");
    auto* rules = dynamic_cast<sim::SimTableView*>(outlets.velmoraTableView.get());
    EXPECT_EQ(rules->localMask, NSDragOperationMove);
    EXPECT_EQ(rules->externalMask, NSDragOperationCopy);
    EXPECT_EQ(rules->draggedTypes, Lines{NSStringPboardType});
}

TEST(Popover, ExpandsByTheCatalogueAndCollapsesBack) {
    for (int n : {0, 4}) {
        EditorAgent sim;
        sim.desktop.world().inputs.clear();
        for (int i = 0; i < n; ++i)
            sim.addInput("com.example.layout" + std::to_string(i), "Layout " + std::to_string(i));
        sim.launch();
        const double d = 27.0 * n + 210;
        auto& toggle = sim.button(&PopoverLayout::adjustSizeButton);
        const auto& outlets = sim.controller().outlets();
        for (int step = 0; step < 2; ++step) {
            toggle.performClick();
            const bool expanded = step == 0;
            EXPECT_EQ(sim.popover().contentSize().height, expanded ? 330 + d : 330) << n;
            EXPECT_EQ(sim.lists().popoverOpened, expanded);
            EXPECT_EQ(toggle.imageName(), expanded ? "open" : "close");
            // The same frames in both directions.
            EXPECT_EQ(frameOf(outlets.shortcutView),
                      (Rect{{0, -72.0 - 27 * n}, {288, 27.0 * n + 27}}));
            EXPECT_EQ(frameOf(outlets.allAppsBox).origin, (Point{0, -247.0 - 27 * n}));
        }
        EXPECT_EQ(sim.traceWith("popover show"),
                  (Lines{"0 popover show " + std::to_string(330 + static_cast<int>(d)),
                         "0 popover show 330"}));
    }
}

TEST(Popover, AClosedExpandedPopoverComesBackCollapsed) {
    EditorAgent sim;
    sim.launch();
    sim.button(&PopoverLayout::adjustSizeButton).performClick();
    ASSERT_EQ(sim.popover().contentSize().height, 621); // three layouts
    sim.desktop.views().statusItem()->click();          // closes
    EXPECT_FALSE(sim.popover().isShown());
    EXPECT_TRUE(sim.lists().popoverOpened);
    sim.desktop.views().statusItem()->click(); // shows again
    EXPECT_TRUE(sim.popover().isShown());
    EXPECT_EQ(sim.popover().contentSize().height, 330);
    EXPECT_FALSE(sim.lists().popoverOpened);
    EXPECT_EQ(sim.button(&PopoverLayout::adjustSizeButton).imageName(), "close");
    sim.button(&PopoverLayout::adjustSizeButton).performClick();
    EXPECT_EQ(sim.popover().contentSize().height, 621);
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

TEST(Popover, HideIconHidesTheItemAtEveryCloseAndReopenBringsItBack) {
    EditorAgent sim;
    sim.setStored("hideMenuBarIcon", PlistValue(true));
    sim.launch();
    auto item = sim.desktop.views().statusItem();
    sim.desktop.views().popover()->dismiss();
    EXPECT_FALSE(item->isVisible());
    item->click(); // a hidden item cannot be clicked
    EXPECT_FALSE(sim.popover().isShown());
    EXPECT_TRUE(sim.agent().applicationShouldHandleReopen(true));
    EXPECT_TRUE(item->isVisible());
    EXPECT_TRUE(sim.popover().isShown());
    EXPECT_EQ(sim.traceWith("status-item"),
              (Lines{"0 status-item hidden", "0 status-item visible"}));
}

TEST(Popover, BeforeVisibilityExistedTheItemIsNeverHiddenNorShown) {
    EditorAgent sim;
    sim.desktop.world().systemVersion = {10, 11};
    sim.setStored("hideMenuBarIcon", PlistValue(true));
    sim.launch();
    sim.desktop.views().popover()->dismiss();
    sim.agent().applicationShouldHandleReopen(false);
    EXPECT_TRUE(sim.traceWith("status-item").empty());
    EXPECT_TRUE(sim.popover().isShown());
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
