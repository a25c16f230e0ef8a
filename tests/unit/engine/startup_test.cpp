// SPDX-License-Identifier: MIT
// Start-up order, the popover decision, the counter's first value, and the notifications.

#include "sim_agent.h"
#include "util/utf8.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

// The start-up trace of a fresh domain is pinned by the tour's golden trace.
TEST(Startup, AStoredCounterIsLeftAloneAndADevelopmentBuildNeverAsksForTheUptime) {
    SimAgent sim;
    sim.desktop.rawStore().setObjectForKey(PlistValue("0"), "changedTimes");
    sim.desktop.world().bundlePath =
        "/Users/ostrel/Library/Developer/Xcode/DerivedData/Velmora/Build/Velmora.app";
    sim.desktop.launch();
    EXPECT_TRUE(sim.traceWith("defaults").empty());
    EXPECT_EQ(sim.stored("changedTimes"), PlistValue("0"));
    EXPECT_TRUE(sim.traceWith("shell").empty());
}

TEST(Startup, NotificationsBeforeLaunchAreDropped) {
    SimAgent sim;
    sim.setRule("com.example.a", kGerman);
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(500);
    sim.launch();
    sim.at(2000);
    EXPECT_EQ(sim.current(), kABC);
    sim.desktop.activate(std::string("com.example.a"));
    sim.at(3000);
    EXPECT_EQ(sim.current(), kGerman);
}

TEST(Startup, EventMonitorRoutesEventsBySettings) {
    SimAgent sim;
    Settings settings(sim.desktop.rawStore());
    std::vector<std::string> seen;
    SystemNotifications::Hooks hooks;
    hooks.checkFollowWindow = [&] { seen.push_back("follow@" + std::to_string(sim.now())); };
    hooks.addressBarCheck = [&](const Event&) {
        seen.push_back("address@" + std::to_string(sim.now()));
    };
    hooks.flagsHandler = [&](std::uint64_t flags, double t) {
        seen.push_back("flags " + std::to_string(flags) + "@" + std::to_string(t));
    };
    SystemNotifications notifications(settings, sim.desktop.runLoop(), hooks);
    Event up{EventType::LeftMouseUp, 0, 0, {10, 10}};
    notifications.handleGlobalEvent(up); // both settings off: nothing
    sim.desktop.rawStore().setObjectForKey(PlistValue(true), "enableTipOfState");
    sim.desktop.rawStore().setObjectForKey(PlistValue(true), "enableBrowserAddressEnglish");
    notifications.handleGlobalEvent(up);
    notifications.handleGlobalEvent(Event{EventType::FlagsChanged, 0x100, 2.5, {}});
    sim.at(2000);
    EXPECT_EQ(seen, (std::vector<std::string>{"flags 256@2.500000", "address@0", "follow@1000"}));
}

TEST(Utf8, OnlyWellFormedSequencesCountAsText) {
    using namespace std::string_view_literals;
    for (auto text : {"10:00 up 3 secs, 1 user"sv, "\xe8\x81\x9a\xe7\x84\xa6"sv,
                      "\xf0\x9f\x98\x80"sv, "a\0b"sv})
        EXPECT_TRUE(util::isValidUtf8(text)) << text;
    // Stray byte, cut short, overlong, surrogate, beyond Unicode.
    for (auto text :
         {"\xff"sv, "abc\xe8\x81"sv, "\xc0\xaf"sv, "\xed\xa0\x80"sv, "\xf4\x90\x80\x80"sv})
        EXPECT_FALSE(util::isValidUtf8(text)) << text;
}

} // namespace
} // namespace velmora::testing
