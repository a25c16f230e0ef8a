// SPDX-License-Identifier: MIT
// The scenario statements that build the window list and the icons: what they put on the
// simulated desktop, and the lines they refuse. (Flags with their time, clicks and the cursor
// reach the agent as launcher-alfred.scenario and address-bar.scenario show.)

#include "platform/window_list.h"
#include "scenario_runner.h"
#include "sim_desktop.h"

#include <gtest/gtest.h>

#include <sstream>

namespace velmora::sim {
namespace {

int run(SimDesktop& desktop, const std::string& text, std::string* failures = nullptr) {
    std::istringstream in(text);
    std::ostringstream out;
    int status = runScenarioStream(in, desktop, out);
    if (failures)
        *failures = out.str();
    return status;
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

TEST(WindowStatements, RefuseWhatTheFormatDoesNotSay) {
    for (const char* text : {
             "window a name=\"x\"\n",                   // no owner
             "window a owner=\"A\" bounds=1,2,3\n",     // three numbers
             "window a owner=\"A\" bounds=1,2,3,inf\n", // not a number of points
             "window a owner=\"A\" layer=2.5\n",
             "window-remove a\n", // no such window
             "window a owner=\"A\"\nwindow-remove a\nwindow-front a\n",
             "window-move a 0,0,1,1\n",
             "icon x 2 2\n",
             "icon x 2 2 0011223\n",
             "icon x 2 2 00112233 00112233 00112233\n",
             "icon \"\" 1 1 00000000\n",
             "icon x 100000 100000 00000000\n",
             "input a \"A\" icon=ref:\n",
             "input a \"A\" icon=file:x\n",
             "flags 256\n",
             "flags 0x100 time=soon\n",
             "mouseup 10\n",
             "cursor hand\n",
         }) {
        SimDesktop desktop;
        std::string failures;
        EXPECT_EQ(run(desktop, text, &failures), 2) << text;
        EXPECT_TRUE(failures.starts_with("error line ")) << text << failures;
        EXPECT_TRUE(desktop.world().windows.empty());
    }
}

} // namespace
} // namespace velmora::sim
