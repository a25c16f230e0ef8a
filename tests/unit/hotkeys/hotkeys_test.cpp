// The input source hotkeys: registration at start-up, each recording replacing or clearing one
// source's shortcut in the centre and the store, and bad stored values.

#include "hotkeys_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

TEST(HotKeysAtStart, NoStoredShortcutsRegisterNothingAndTheFirstClearOrRecordingCreatesTheKey) {
    HotKeysAgent sim;
    sim.launch();
    EXPECT_TRUE(sim.registrations().empty());
    EXPECT_FALSE(sim.stored("shortcutOfInput"));
    // Clearing a row without a shortcut writes the dictionary, creating it if need be.
    sim.recorder(0)->userClears();
    EXPECT_EQ(sim.shortcuts(), PlistValue(PlistDictionary{}));
    EXPECT_TRUE(sim.traceWith("unregister").empty());
    sim.recorder(1)->userRecords(5, kCommand);
    EXPECT_EQ(sim.shortcuts(), PlistValue(PlistDictionary{{kGerman, combo(5, kCommand)}}));
    EXPECT_EQ(sim.registrations(), Lines{std::string("hotkey ") + kGerman + " 5:0x100000"});
    sim.recorder(0)->userClears();
    EXPECT_EQ(sim.shortcuts(), PlistValue(PlistDictionary{{kGerman, combo(5, kCommand)}}));
}

TEST(HotKeysAtStart, HotkeysOutliveTheControllerThatRegisteredThem) {
    HotKeysAgent sim;
    sim.desktop.world().uptimeOutput = "10:00  up 12 secs, 1 user"; // the popover stays closed
    sim.setStored("shortcutOfInput", PlistValue(PlistDictionary{{kGerman, combo(5, kCommand)}}));
    sim.SimAgent::launch();
    ASSERT_EQ(sim.hotKeys().registered().size(), 1u);
    // Only the centre holds the hotkey now.
    EXPECT_EQ(sim.hotKeys().registered().front().use_count(), 1);
    sim.press(5, kCommand);
    EXPECT_EQ(sim.current(), kGerman);
    EXPECT_EQ(sim.traceWith("select"), Lines{std::string("0 select ") + kGerman});
}

TEST(Recording, ReplacingEndsTheOldRegistrationFirstThenStoresFlushesAndReloads) {
    HotKeysAgent sim;
    sim.setStored("shortcutOfInput", PlistValue(PlistDictionary{{kGerman, combo(5, kCommand)}}));
    sim.launch();
    sim.recorder(1)->userRecords(6, kOption);
    const std::string stored =
        "{\"" + std::string(kGerman) + "\":{\"keyCode\":6,\"modifierFlags\":524288}}";
    EXPECT_EQ(sim.trace(), (Lines{std::string("0 hotkey unregister ") + kGerman,
                                  std::string("0 hotkey register ") + kGerman + " 6:0x80000",
                                  "0 defaults set shortcutOfInput " + stored, "0 defaults sync",
                                  "0 reload shortcuts"}));
    sim.press(5, kCommand);
    EXPECT_EQ(sim.current(), kABC);
    sim.press(6, kOption);
    EXPECT_EQ(sim.current(), kGerman);
}

TEST(Recording, ClearingRemovesTheEntryAndTheLastClearLeavesAnEmptyDictionary) {
    HotKeysAgent sim;
    sim.setStored("shortcutOfInput", PlistValue(PlistDictionary{{kGerman, combo(5, kCommand)},
                                                                {kRussian, combo(6, kCommand)}}));
    sim.launch();
    sim.recorder(1)->userClears();
    EXPECT_EQ(sim.shortcuts(), PlistValue(PlistDictionary{{kRussian, combo(6, kCommand)}}));
    EXPECT_EQ(sim.registrations(), Lines{std::string("hotkey ") + kRussian + " 6:0x100000"});
    sim.recorder(2)->userClears();
    EXPECT_EQ(sim.shortcuts(), PlistValue(PlistDictionary{}));
    EXPECT_TRUE(sim.registrations().empty());
    EXPECT_FALSE(sim.recorder(1)->objectValue());
    sim.press(5, kCommand);
    EXPECT_EQ(sim.current(), kABC);
}

TEST(Recording, EndingWithoutAChangeStoresWhatTheTableShowsInPlaceOfTheStoredValue) {
    HotKeysAgent sim;
    PlistDictionary rich{{"keyCode", PlistValue(5)},
                         {"modifierFlags", PlistValue(kCommand)},
                         {"characters", PlistValue("g")}};
    sim.setStored("shortcutOfInput", PlistValue(PlistDictionary{{kGerman, PlistValue(rich)}}));
    sim.launch();
    sim.recorder(1)->userEndsRecording();
    EXPECT_EQ(sim.shortcuts(), PlistValue(PlistDictionary{{kGerman, combo(5, kCommand)}}));
    EXPECT_EQ(sim.registrations().size(), 1u);
}

TEST(Recording, ARecorderOfARowOutsideTheCatalogueChangesNothing) {
    HotKeysAgent sim;
    sim.launch();
    sim::SimRecorderControl stray;
    stray.setTagid(3);
    stray.setObjectValue(combo(5, kCommand));
    sim.controller().shortcutRecorderDidEndRecording(stray);
    stray.setTagid(-1);
    sim.controller().shortcutRecorderDidEndRecording(stray);
    EXPECT_TRUE(sim.trace().empty());
}

TEST(Recording, WithoutAHotkeyCentreTheStoreStillFollowsTheRecorder) {
    HotKeysAgent sim;
    sim.desktop.platform().hotKeyCenter = nullptr;
    sim.setStored("shortcutOfInput", PlistValue(PlistDictionary{{kGerman, combo(5, kCommand)}}));
    sim.launch();
    sim.recorder(2)->userRecords(6, kCommand);
    EXPECT_TRUE(sim.traceWith("hotkey").empty());
    EXPECT_EQ(sim.shortcuts(), PlistValue(PlistDictionary{{kGerman, combo(5, kCommand)},
                                                          {kRussian, combo(6, kCommand)}}));
}

TEST(BadStoredShortcuts, AValueOfTheWrongTypeReadsAsAbsent) {
    for (const PlistValue& bad :
         {PlistValue("alt+g"), PlistValue(PlistArray{combo(5, kCommand)}), PlistValue(7)}) {
        HotKeysAgent sim;
        sim.setStored("shortcutOfInput", bad);
        sim.launch();
        EXPECT_TRUE(sim.registrations().empty());
        EXPECT_FALSE(sim.recorder(0)->objectValue());
        sim.recorder(0)->userRecords(5, kCommand);
        EXPECT_EQ(sim.shortcuts(), PlistValue(PlistDictionary{{kABC, combo(5, kCommand)}}));
    }
}

TEST(BadStoredShortcuts, OddNumbersAreRegisteredUnchangedAndShownOnlyWhenBothArePositive) {
    HotKeysAgent sim;
    PlistDictionary huge{{"keyCode", PlistValue(1e300)}, {"modifierFlags", PlistValue(0x7f000001)}};
    sim.setStored("shortcutOfInput", PlistValue(PlistDictionary{{kABC, combo(-3, kCommand)},
                                                                {kGerman, PlistValue(huge)},
                                                                {kRussian, combo(12, -1)}}));
    sim.desktop.world().currentInputID = kRussian;
    sim.launch();
    EXPECT_EQ(sim.registrations().size(), 3u);
    EXPECT_FALSE(sim.recorder(0)->objectValue());
    EXPECT_EQ(sim.recorder(1)->objectValue(), combo(INT64_MAX, 0x7f000001));
    EXPECT_FALSE(sim.recorder(2)->objectValue());
    // The centre takes the combination as stored.
    sim.press(-3, kCommand);
    EXPECT_EQ(sim.current(), kABC);
}

} // namespace
} // namespace velmora::testing
