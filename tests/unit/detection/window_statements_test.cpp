// SPDX-License-Identifier: MIT
// The scenario statements that build the window list: what they put on the simulated desktop.
// (The lines they refuse: ScenarioErrors in scenario_parse_test.cpp.) (Flags with their time,
// clicks and the cursor reach the agent as launcher-alfred.scenario and address-bar.scenario show.)

#include "platform/window_list.h"
#include "scenario_runner.h"
#include "sim_desktop.h"

#include <gtest/gtest.h>

#include <sstream>

namespace velmora::sim {
namespace {

int run(SimDesktop& desktop, const std::string& text) {
    std::istringstream in(text);
    std::ostringstream out;
    return runScenarioStream(in, desktop, out);
}

std::vector<std::string> handles(const SimWorld& world) {
    std::vector<std::string> out;
    for (const auto& entry : world.windows)
        out.push_back(*entry.find(kSimWindowHandleKey)->string());
    return out;
}

TEST(WindowStatements, BuildTheListFrontToBack) {
    SimDesktop desktop;
    ASSERT_EQ(run(desktop, "window a owner=\"A\"\n"
                           "window b owner=none name=\"none\" layer=-3 bounds=1.5,-2,3,4 "
                           "onscreen=no\n"
                           "window c owner=\"none\" name=none\n"
                           "window-front a\n"
                           "window-move b 0,0,10.25,20\n"
                           "window-remove c\n"
                           "window c owner=\"C\" name=\"\"\n"),
              0);
    const SimWorld& world = desktop.world();
    EXPECT_EQ(handles(world), (std::vector<std::string>{"c", "a", "b"}));
    const PlistValue& b = world.windows[2];
    EXPECT_EQ(b.find(kWindowOwnerNameKey), nullptr);
    EXPECT_EQ(*b.find(kWindowNameKey), PlistValue("none"));
    EXPECT_EQ(*b.find(kWindowLayerKey), PlistValue(-3));
    EXPECT_EQ(*b.find(kWindowIsOnscreenKey), PlistValue(false));
    EXPECT_EQ(*b.find(kWindowBoundsKey),
              PlistValue(PlistDictionary{{"X", 0}, {"Y", 0}, {"Width", 10.25}, {"Height", 20}}));
    EXPECT_EQ(world.windows[1].find(kWindowNameKey), nullptr);
    EXPECT_EQ(*world.windows[0].find(kWindowNameKey), PlistValue(""));
}

} // namespace
} // namespace velmora::sim
