// SPDX-License-Identifier: MIT
// The popover where the popover scenario does not reach: a collapse below zero. (A start within the
// first minute: popover-old-system.scenario and launcher-spotlight.scenario.)

#include "editor_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

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

} // namespace
} // namespace velmora::testing
