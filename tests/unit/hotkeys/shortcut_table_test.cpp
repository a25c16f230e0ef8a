// The shortcut table's cells: what each column holds, where, and which stored shortcut the
// recorder shows.

#include "hotkeys/shortcut_table.h"
#include "hotkeys_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

TEST(ShortcutCells, IconIsScaledTo18AndMarkedTemplateOnlyForAGlyph) {
    HotKeysAgent sim;
    sim.desktop.images().icons["glyph"] = sim::SimIcon{1, 1, {0, 0, 0, 255}};
    sim.desktop.images().icons["flag"] = sim::SimIcon{2, 1, {255, 0, 0, 255, 0, 0, 255, 255}};
    sim.desktop.world().inputs[0].iconRef = "glyph";
    sim.desktop.world().inputs[1].iconRef = "flag";
    sim.launch();
    auto container = sim.cell(sim::kSimIconColumn, 0);
    ASSERT_TRUE(container);
    EXPECT_EQ(container->frame(), ShortcutTable::kContainerFrame);
    auto glyph = sim::firstInside<ImageView>(container);
    ASSERT_TRUE(glyph && glyph->image());
    EXPECT_EQ(glyph->frame(), (Rect{{15, 3}, {18, 18}}));
    EXPECT_EQ(glyph->image()->size(), (Size{18, 18}));
    EXPECT_TRUE(glyph->image()->isTemplate());
    auto flag = sim::firstInside<ImageView>(sim.cell(sim::kSimIconColumn, 1));
    ASSERT_TRUE(flag && flag->image());
    EXPECT_FALSE(flag->image()->isTemplate());
    // No icon: an empty image view, no crash.
    auto none = sim::firstInside<ImageView>(sim.cell(sim::kSimIconColumn, 2));
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->image());
}

TEST(ShortcutCells, NameComesFromTheListWithThePlaceholderSkipped) {
    HotKeysAgent sim;
    sim.launch();
    auto name = std::dynamic_pointer_cast<sim::SimTextField>(
        sim::firstInside<TextField>(sim.cell(sim::kSimInputColumn, 0)));
    ASSERT_TRUE(name);
    EXPECT_EQ(name->stringValue(), "ABC");
    EXPECT_EQ(name->frame(), (Rect{{0, 0}, {145, 20}}));
    EXPECT_FALSE(name->bezeled_);
    EXPECT_FALSE(name->editable_);
    EXPECT_FALSE(name->drawsBackground_);
    EXPECT_TRUE(name->clearBackground_);
}

TEST(ShortcutCells, RecorderStandsAboveItsBoxWithTheRowAndTheLimits) {
    HotKeysAgent sim;
    sim.launch();
    auto container = sim.cell(sim::kSimShortcutColumn, 2);
    ASSERT_TRUE(container);
    auto views = container->subviews();
    ASSERT_EQ(views.size(), 2u);
    auto box = std::dynamic_pointer_cast<sim::SimPlainBox>(views[0]);
    auto recorder = std::dynamic_pointer_cast<sim::SimRecorderControl>(views[1]);
    ASSERT_TRUE(box && recorder);
    EXPECT_EQ(box->frame(), (Rect{{0, 1.5}, {110, 20}}));
    EXPECT_EQ(box->boxType, NSBoxType::NSBoxCustom);
    EXPECT_EQ(box->cornerRadius, 4);
    EXPECT_EQ(box->borderColor, Color::disabledControlTextColor);
    EXPECT_EQ(box->fillColor, Color::textBackgroundColor);
    EXPECT_EQ(recorder->frame(), (Rect{{0, -8}, {110, 30}}));
    EXPECT_EQ(recorder->tagid(), 2);
    EXPECT_EQ(recorder->delegate(), &sim.controller());
    EXPECT_EQ(recorder->allowedModifierFlags, 0x1E0000u);
    EXPECT_EQ(recorder->requiredModifierFlags, 0u);
    EXPECT_TRUE(recorder->allowsEmptyModifierFlags);
    EXPECT_TRUE(recorder->translatesAutoresizingMask);
}

TEST(ShortcutCells, UnknownColumnsAndRowsOutsideTheCatalogueGetNoView) {
    HotKeysAgent sim;
    sim.launch();
    EXPECT_FALSE(sim.controller().tableViewForShortcut("Icon", 0));
    EXPECT_FALSE(sim.controller().tableViewForShortcut("", 0));
    EXPECT_FALSE(sim.controller().tableViewForShortcut("shortcut", 3));
    EXPECT_FALSE(sim.controller().tableViewForShortcut("shortcut", -1));
    EXPECT_TRUE(sim.controller().tableViewForShortcut("shortcut", 0));
}

TEST(ShortcutCells, TheRecorderShowsAShortcutOnlyWithKeyCodeAndFlagsAbove0) {
    HotKeysAgent sim;
    sim.addInput("com.apple.keylayout.French", "French");
    sim.addInput("com.apple.keylayout.Dutch", "Dutch");
    PlistDictionary flagsOnly{{"modifierFlags", PlistValue(kCommand)}};
    PlistDictionary extra{{"keyCode", PlistValue(9)},
                          {"modifierFlags", PlistValue(kCommand)},
                          {"characters", PlistValue("v")}};
    sim.setStored("shortcutOfInput",
                  PlistValue(PlistDictionary{{kABC, combo(0, kCommand)},
                                             {kGerman, combo(5, 0)},
                                             {kRussian, PlistValue(flagsOnly)},
                                             {"com.apple.keylayout.French", PlistValue(extra)}}));
    sim.launch();
    for (std::int64_t row : {0, 1, 2, 4})
        EXPECT_FALSE(sim.recorder(row)->objectValue()) << row;
    // Only the two numbers reach the control.
    EXPECT_EQ(sim.recorder(3)->objectValue(), combo(9, kCommand));
}

TEST(ShortcutCells, RecordingKeepsOnlyTheAllowedModifiers) {
    HotKeysAgent sim;
    sim.launch();
    sim.recorder(1)->userRecords(5, kCommand | 0x10000 | 0x1);
    EXPECT_EQ(sim.shortcuts(), PlistValue(PlistDictionary{{kGerman, combo(5, kCommand)}}));
    // A key alone is allowed, registered and stored, yet shown as no shortcut.
    sim.recorder(2)->userRecords(7, 0);
    EXPECT_EQ(sim.registrations().size(), 2u);
    EXPECT_FALSE(sim.recorder(2)->objectValue());
}

} // namespace
} // namespace velmora::testing
