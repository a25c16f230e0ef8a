// Start-up order, the popover decision, the counter's first value, and the notifications.

#include "engine/shell.h"
#include "sim_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

TEST(Startup, FreshDomainGetsCounterStringAndFlush) {
    SimAgent sim;
    sim.desktop.launch();
    EXPECT_EQ(sim.trace(), (Lines{"0 indicator setup", "0 iconView hidden", "0 iconBox hidden",
                                  "0 status-item create", "0 shell uptime", "0 activate-self",
                                  "0 reload shortcuts", "0 reload rules", "0 popover show 330",
                                  "0 defaults set changedTimes \"0\"", "0 defaults sync"}));
}

TEST(Startup, ExistingCounterIsLeftAlone) {
    for (PlistValue existing : {PlistValue("0"), PlistValue(17)}) {
        SimAgent sim;
        sim.desktop.rawStore().setObjectForKey(existing, "changedTimes");
        sim.desktop.launch();
        EXPECT_TRUE(sim.traceWith("defaults").empty());
        EXPECT_EQ(sim.stored("changedTimes"), existing);
    }
}

TEST(Startup, DevelopmentBuildNeverAsksForUptime) {
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

TEST(Startup, InputChangesRefreshOnce200msAfterTheLast) {
    SimAgent sim;
    Settings settings(sim.desktop.rawStore());
    std::vector<std::int64_t> refreshes;
    SystemNotifications::Hooks hooks;
    hooks.inputChnagedNotification = [&] { refreshes.push_back(sim.now()); };
    SystemNotifications notifications(settings, sim.desktop.runLoop(), hooks);
    for (int i = 0; i < 10; ++i) {
        sim.at(i * 50);
        notifications.callback(kSelectedKeyboardInputSourceChangedNotification);
    }
    sim.at(5000);
    EXPECT_EQ(refreshes, (std::vector<std::int64_t>{650}));
    notifications.callback("com.example.unrelated");
    notifications.callback(kSelectedKeyboardInputSourceChangedNotification);
    sim.at(6000);
    EXPECT_EQ(refreshes, (std::vector<std::int64_t>{650, 5200}));
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

TEST(Shell, OutputMustBeUtf8) {
    EXPECT_TRUE(isValidUtf8("10:00 up 3 secs, 1 user"));
    EXPECT_TRUE(isValidUtf8("\xe8\x81\x9a\xe7\x84\xa6"));
    EXPECT_TRUE(isValidUtf8("\xf0\x9f\x98\x80"));
    EXPECT_FALSE(isValidUtf8("\xff"));
    EXPECT_FALSE(isValidUtf8("abc\xe8\x81"));      // cut short
    EXPECT_FALSE(isValidUtf8("\xc0\xaf"));         // overlong
    EXPECT_FALSE(isValidUtf8("\xed\xa0\x80"));     // surrogate
    EXPECT_FALSE(isValidUtf8("\xf4\x90\x80\x80")); // beyond Unicode
}

} // namespace
} // namespace velmora::testing
