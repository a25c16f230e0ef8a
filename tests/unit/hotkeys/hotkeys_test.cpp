// SPDX-License-Identifier: MIT
// The input source hotkeys beyond what hotkeys*.scenario and shortcut-table.scenario pin:
// the first store of the dictionary, the order of a replacement, rows outside the catalogue and
// a desktop without a hotkey centre; the shortcut table's cells;
// the numbers of a stored shortcut: whatever the store holds, an integer comes out (1e20 held
// at the top: hotkeys-bad-store.scenario).

#include "hotkeys/shortcut_table.h"
#include "hotkeys/stored_shortcuts.h"
#include "hotkeys_agent.h"

#include <gtest/gtest.h>

#include <limits>

namespace velmora::testing {
namespace {

// The first clear storing an empty dictionary: shortcut-table.scenario; the first recording
// creating the dictionary: hotkeys-bad-store.scenario.
TEST(HotKeysAtStart, AClearWithNothingRegisteredUnregistersNothing) {
    HotKeysAgent sim;
    sim.launch();
    EXPECT_TRUE(sim.registrations().empty());
    sim.recorder(0)->userClears();
    EXPECT_TRUE(sim.traceWith("unregister").empty());
}

// The old combination no longer selecting, the new one selecting: hotkeys.scenario.
TEST(Recording, AReplacementUnregistersBeforeItStores) {
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
}

TEST(Recording, ARecorderOfARowOutsideTheCatalogueChangesNothing) {
    HotKeysAgent sim;
    sim.launch();
    sim::SimShortcutRecorder stray;
    stray.setShortcutTag(3);
    stray.setObjectValue(combo(5, kCommand));
    sim.controller().shortcutRecorderDidEndRecording(stray);
    stray.setShortcutTag(-1);
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

TEST(ShortcutCells, OnlyTheShortcutColumnsRowsHaveCells) {
    HotKeysAgent sim;
    sim.launch();
    EXPECT_FALSE(sim.controller().tableViewForShortcut("Icon", 0));
    EXPECT_FALSE(sim.controller().tableViewForShortcut("shortcut", 3));
    EXPECT_FALSE(sim.controller().tableViewForShortcut("shortcut", -1));
    EXPECT_TRUE(sim.controller().tableViewForShortcut("shortcut", 0));
}

TEST(ShortcutCells, ASourceWithoutIconGetsAnEmptyImageView) {
    HotKeysAgent sim;
    sim.launch();
    auto none = sim::firstInside<ImageView>(sim.cell(sim::kSimIconColumn, 2));
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->image());
}

// Negative flags are shown as none (hotkeys-bad-store.scenario has a negative key code).
TEST(ShortcutCells, TheRecorderGetsOnlyTheTwoNumbers) {
    HotKeysAgent sim;
    PlistDictionary extra{{"keyCode", PlistValue(9)},
                          {"modifierFlags", PlistValue(kCommand)},
                          {"characters", PlistValue("v")}};
    sim.setStored("shortcutOfInput", PlistValue(PlistDictionary{{kABC, combo(12, -1)},
                                                                {kRussian, PlistValue(extra)}}));
    sim.launch();
    EXPECT_FALSE(sim.recorder(0)->objectValue());
    EXPECT_FALSE(sim.recorder(1)->objectValue());
    EXPECT_EQ(sim.recorder(2)->objectValue(), combo(9, kCommand));
}

// Reals are held in range as the counter's are: SettingsTest.CounterHoldsAtTheEndsOfItsRange.
TEST(ShortcutField, AnyStoredValueReadsAsAnInteger) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    const std::pair<PlistValue, std::int64_t> cases[] = {
        {PlistValue(std::int64_t{-7}), -7},
        {PlistValue(kMax), kMax},
        {PlistValue(12.9), 12},
        {PlistValue("12"), 0},
        {PlistValue(true), 0},
        {PlistValue(PlistArray{PlistValue(12)}), 0}};
    for (const auto& [field, expected] : cases) {
        PlistValue shortcut(PlistDictionary{{"keyCode", field}});
        EXPECT_EQ(shortcutField(&shortcut, "keyCode"), expected) << expected;
    }
    PlistValue noField(PlistDictionary{{"modifierFlags", PlistValue(1)}}), notADictionary(12);
    EXPECT_EQ(shortcutField(&noField, "keyCode"), 0);
    EXPECT_EQ(shortcutField(&notADictionary, "keyCode"), 0);
    EXPECT_EQ(shortcutField(nullptr, "keyCode"), 0);
}

} // namespace
} // namespace velmora::testing
