// SPDX-License-Identifier: MIT
// The indicator on the simulated desktop: where it is placed, which icon it shows and in
// which order its views change, and when it follows the front window.

#include "sim_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

class IndicatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto& icons = sim.desktop.images().icons;
        icons["glyph"] = sim::SimIcon{1, 1, {0, 0, 0, 255}};
        icons["flag"] = sim::SimIcon{2, 1, {255, 0, 0, 255, 0, 0, 255, 255}};
    }
    void setIcon(const char* id, std::optional<std::string> ref, std::optional<std::string> url) {
        for (auto& source : sim.desktop.world().inputs)
            if (source.inputSourceID == id) {
                source.iconRef = std::move(ref);
                source.iconImageURL = std::move(url);
            }
    }
    void setting(const char* key, bool on) {
        sim.desktop.rawStore().setObjectForKey(PlistValue(on), key);
    }
    Point origin() { return sim.agent().inputIconWindow()->frameOrigin(); }
    void place(std::optional<PlistDictionary> bounds) {
        sim.agent().windowFrames().firstWindowFrame = std::move(bounds);
        sim.agent().adjustIconView();
    }

    SimAgent sim;
};

TEST_F(IndicatorTest, PlacementFlipsByTheScreenAtTheOrigin) {
    // Screen 1 at the origin, 900 high; screen 2, 1200 high, to its right, main and deepest.
    sim.desktop.world().screens = {sim::SimScreen{1, 1440, 900}, sim::SimScreen{2, 1920, 1200}};
    sim.desktop.world().deepestScreenNumber = 2;
    sim.desktop.world().mainScreenNumber = 2;
    sim.launch();                      // a window on the screen at the origin: indicator.scenario
    place(rect(1500, 1000, 300, 100)); // only the taller screen reaches down there
    EXPECT_EQ(origin(), (Point{1775, 900 - 1100 + 5}));
    sim.agent().launchers().alfredPanelSeen = true;
    place(rect(1500, 50, 800, 600));
    EXPECT_EQ(origin(), (Point{2278, 900 - 50 - 22}));
    place(std::nullopt);
    EXPECT_EQ(origin(), (Point{-22, 878}));
    // The taller screen at the origin, a panel on the shorter one.
    sim.desktop.world().originScreenNumber = 2;
    place(rect(2000, 50, 600, 60));
    EXPECT_EQ(origin(), (Point{2578, 1200 - 50 - 22}));
    // Whole numbers that would overflow 32 bits when added still place exactly.
    sim.agent().launchers().alfredPanelSeen = false;
    place(rect(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX));
    EXPECT_EQ(origin(), (Point{2.0 * INT32_MAX - 25, 1200 - 2.0 * INT32_MAX + 5}));
}

TEST_F(IndicatorTest, TheIconReferenceWinsOverTheFileEvenWhenItGivesNoImage) {
    setting("enableTipOfState", true);
    sim.launch();
    setIcon(kABC, "nonexistent", "flag");
    EXPECT_EQ(sim.agent().getCurrentInputIcon(), nullptr);
    EXPECT_TRUE(sim.agent().iconBox()->isHidden());
    setIcon(kABC, "glyph", "flag"); // the file alone: indicator.scenario's flag
    ImagePtr glyph = sim.agent().getCurrentInputIcon();
    ASSERT_TRUE(glyph);
    EXPECT_FALSE(sim.agent().iconBox()->isHidden());
    sim.desktop.world().currentInputID.reset();
    EXPECT_EQ(sim.agent().getCurrentInputIcon(), nullptr);
    EXPECT_TRUE(sim.agent().iconBox()->isHidden());
}

TEST_F(IndicatorTest, ARefreshShowsBothViewsBeforeTheIconDecidesOnTheBackdrop) {
    setting("enableTipOfState", true);
    setIcon(kGerman, std::nullopt, "flag");
    sim.launch();
    sim.desktop.userSelects(kGerman);
    sim.at(1000);
    EXPECT_EQ(sim.trace(), (Lines{"200 iconView shown", "200 iconBox shown", "200 iconBox hidden",
                                  "200 indicator image flag 2x1"}));
}

TEST_F(IndicatorTest, TheTextCursorByItsWholeNameOrElseByItsHotSpot) {
    sim.launch();
    struct Case {
        const char* name;
        Point hotSpot;
        bool text;
    };
    // No name, or one of no cursor: the hot spot decides; a theme's I-beam by its whole name.
    for (const Case& c :
         {Case{nullptr, {4, 9}, true}, Case{nullptr, {4, 9.5}, false}, Case{nullptr, {9, 4}, false},
          Case{nullptr, {0, 0}, false}, Case{"xterm", {16, 16}, true}, Case{"text", {16, 16}, true},
          Case{"ibeam", {16, 16}, true}, Case{"left_ptr", {16, 16}, false},
          Case{"vertical-text", {16, 16}, false}, Case{"xterm2", {16, 16}, false},
          Case{"tex", {16, 16}, false}, Case{"", {16, 16}, false}, Case{"XTERM", {16, 16}, false},
          Case{"left_ptr", {1, 1}, false}, Case{"my-theme-beam", {4, 9}, true}}) {
        sim.desktop.world().cursorName = c.name ? std::optional<std::string>(c.name) : std::nullopt;
        sim.desktop.world().cursorHotSpot = c.hotSpot;
        EXPECT_EQ(sim.agent().isTextCursor(), c.text)
            << (c.name ? c.name : "none") << " " << c.hotSpot.x << "," << c.hotSpot.y;
    }
}

class FollowWindow : public IndicatorTest {
  protected:
    void SetUp() override {
        IndicatorTest::SetUp();
        setting("enableTipOfState", true);
        setting("followWindow", true);
        PlistDictionary alpha = onscreenWindow("Alpha", rect(100, 50, 800, 600));
        alpha[kWindowNameKey] = "doc";
        sim.desktop.world().putWindowInFront("a", alpha);
        sim.launch();
    }
    Lines origins() { return sim.traceWith("origin"); }
};

// Follow off and an open panel: indicator.scenario.
TEST_F(FollowWindow, NeverForTheProgramItself) {
    sim.desktop.world().putWindowInFront("popover",
                                         onscreenWindow("Velmora", rect(0, 0, 300, 300)));
    sim.desktop.activate(std::string("com.quorvant.Quorvant-Velmora"));
    sim.agent().checkFollowWindow();
    EXPECT_EQ(origins(), Lines{});
    sim.desktop.activate(std::string("com.example.a"));
    sim.agent().checkFollowWindow();
    EXPECT_EQ(origins(), Lines{"0 indicator origin 875 255"});
}

TEST_F(FollowWindow, ARepeatedActivationMovesItAgain) {
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(1000);
    sim.desktop.world().putWindowInFront("a", onscreenWindow("Alpha", rect(200, 100, 640, 480)));
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(2000);
    EXPECT_EQ(origins(), (Lines{"500 indicator origin 875 255", "1500 indicator origin 815 325"}));
}

TEST_F(FollowWindow, WithTheIndicatorOffNoTimerIsSet) {
    setting("enableTipOfState", false);
    sim.desktop.activate(std::string("com.example.b"));
    Event click;
    click.type = EventType::LeftMouseUp;
    sim.desktop.postEvent(click);
    sim.at(5000);
    EXPECT_EQ(origins(), Lines{});
}

} // namespace
} // namespace velmora::testing
