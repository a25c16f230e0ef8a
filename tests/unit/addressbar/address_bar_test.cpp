// SPDX-License-Identifier: MIT
// The address-bar switch beyond address-bar.scenario (which pins the timing of the checks, the
// bands and overlapping jobs): fractional tops, the reset, a shared flag that no job decides by
// and screens of different heights.

#include "engine/address_bar_switch.h"
#include "sim_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

constexpr const char* kSafari = "com.apple.Safari";
constexpr const char* kChrome = "com.google.Chrome";

class AddressBar : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.addApp(kSafari, "Safari");
        sim.addApp(kChrome, "Google Chrome");
        sim.desktop.world().currentInputID = kGerman;
        browserWindow("Safari", 50);
        browserWindow("Google Chrome", 50);
        sim.desktop.rawStore().setObjectForKey(PlistValue(true), "enableBrowserAddressEnglish");
        sim.launch();
    }
    void browserWindow(const std::string& owner, PlistValue top) {
        sim.desktop.world().putWindowInFront(owner, onscreenWindow(owner, rect(0, top, 900, 700)));
    }
    static Event mouseUp(Point at) {
        Event e;
        e.type = EventType::LeftMouseUp;
        e.locationInScreen = at;
        return e;
    }
    // A click OFFSET points below the top of a window whose top is 50 (screen 900 high).
    void clickBelowTop(double offset) { sim.desktop.postEvent(mouseUp({300, 900 - 50 - offset})); }
    // A check of its own, beside the agent's, with the hooks a case needs.
    AddressBarSwitch ownCheck(AddressBarSwitch::Hooks hooks) {
        Platform& platform = sim.desktop.platform();
        return AddressBarSwitch(sim.agent().dispatcher(), sim.agent().selection(), platform.screens,
                                platform.runLoop, platform.application, std::move(hooks),
                                ChromeBrowsers{});
    }
    void cursor(bool text) { sim.desktop.world().cursorHotSpot = text ? Point{4, 9} : Point{0, 0}; }
    void front(const char* bundle) {
        sim.desktop.world().frontmost = sim.desktop.world().appIndex(bundle);
    }
    Lines selections() { return sim.traceWith("select"); }

    SimAgent sim;
};

TEST_F(AddressBar, TheWindowTopIsReadWithItsFraction) {
    front(kChrome);
    cursor(true);
    // Top at 40.5: a click 29.9 below is inside Safari's band, 30.4 below 40 would not be.
    browserWindow("Safari", 40.5);
    front(kSafari);
    sim.desktop.postEvent(mouseUp({300, 900 - 70.4}));
    sim.at(100);
    EXPECT_EQ(selections(), Lines{"0 select com.apple.keylayout.ABC"});
}

TEST_F(AddressBar, OnlyChromeResetsAfterItsSelection) {
    cursor(true);
    front(kChrome);
    clickBelowTop(60);
    sim.at(10);
    front(kSafari);
    sim.desktop.world().currentInputID = kGerman;
    clickBelowTop(20);
    sim.at(20);
    EXPECT_EQ(
        sim.trace(),
        (Lines{"0 defaults set changedTimes 1", "0 select com.apple.keylayout.ABC", "0 reset",
               "10 log 1", "10 defaults set changedTimes 2", "10 select com.apple.keylayout.ABC"}));
}

TEST_F(AddressBar, AnotherJobClearingTheFlagDoesNotCancelASwitch) {
    // The moment another job clears the shared flag is taken to be right after this job saw
    // the text cursor: while it looks up the browser window.
    AddressBarSwitch* self = nullptr;
    AddressBarSwitch check = ownCheck({
        .getFrameOfFirstWindow =
            [&](const std::string&) {
                self->textCursorOfMouseUp.store(false);
                return std::optional<PlistDictionary>(
                    PlistDictionary{{"Y", 50}, {"X", 0}, {"Width", 9}, {"Height", 9}});
            },
        .isTextCursor = [] { return true; },
        .reset = {},
    });
    self = &check;
    front(kSafari);
    check.check(mouseUp({300, 830}));
    sim.at(10);
    EXPECT_EQ(selections(), Lines{"0 select com.apple.keylayout.ABC"});
}

TEST_F(AddressBar, TheClickIsMeasuredFromTheOriginScreensTop) {
    // Screen 1 at the origin, 900 high; screen 2, 1200 high, to its right and main: the
    // Chrome window on it reaches below the first screen's bottom edge.
    auto& world = sim.desktop.world();
    world.screens = {sim::SimScreen{1, 1440, 900}, sim::SimScreen{2, 1920, 1200}};
    world.mainScreenNumber = 2;
    cursor(true);
    front(kChrome);
    browserWindow("Google Chrome", 1000);
    sim.desktop.postEvent(mouseUp({2000, 900 - 1060})); // 60 below the top, on the taller screen
    sim.at(10);
    EXPECT_EQ(selections(), Lines{"0 select com.apple.keylayout.ABC"});
    // The other way round: the taller screen at the origin, the window on the shorter one.
    world.screens = {sim::SimScreen{1, 1440, 900}, sim::SimScreen{2, 1920, 1200}};
    world.originScreenNumber = 2;
    world.mainScreenNumber = 1;
    browserWindow("Google Chrome", 50);
    sim.desktop.postEvent(mouseUp({300, 1200 - 110}));
    sim.at(20);
    EXPECT_EQ(selections(),
              (Lines{"0 select com.apple.keylayout.ABC", "10 select com.apple.keylayout.ABC"}));
}

TEST_F(AddressBar, NoScreenOrNoApplicationInFrontSelectsNothing) {
    cursor(true);
    front(kChrome);
    sim.desktop.world().originScreenNumber.reset();
    clickBelowTop(60); // offset = 0 - 790 - 50: far above the band
    sim.at(100);
    sim.desktop.world().originScreenNumber = 1;
    front(kSafari);
    sim.desktop.world().frontmost.reset();
    clickBelowTop(20);
    sim.at(1000);
    EXPECT_EQ(selections(), Lines{});
    EXPECT_EQ(sim.traceWith("log"), Lines{});
}

} // namespace
} // namespace velmora::testing
