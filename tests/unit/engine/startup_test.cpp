// SPDX-License-Identifier: MIT
// Start-up: the uptime question, notifications before launch; the shell's text check. (Global
// events reach the checks their settings turn on: address-bar.scenario and indicator.scenario.)

#include "sim_agent.h"
#include "util/utf8.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

// The start-up trace of a fresh domain is pinned by the tour's golden trace, a stored counter
// left alone by engine-startup.scenario.
TEST(Startup, ADevelopmentBuildNeverAsksForTheUptime) {
    SimAgent sim;
    sim.desktop.world().bundlePath =
        "/Users/ostrel/Library/Developer/Xcode/DerivedData/Velmora/Build/Velmora.app";
    sim.desktop.launch();
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
