// The shortcut table's cells: what each column holds, where, and which stored shortcut the
// recorder shows.

#include "hotkeys/shortcut_table.h"
#include "hotkeys_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

TEST(ShortcutCells, UnknownColumnsAndRowsOutsideTheCatalogueGetNoViewAMissingIconAnEmptyOne) {
    HotKeysAgent sim;
    sim.launch();
    EXPECT_FALSE(sim.controller().tableViewForShortcut("Icon", 0));
    EXPECT_FALSE(sim.controller().tableViewForShortcut("", 0));
    EXPECT_FALSE(sim.controller().tableViewForShortcut("shortcut", 3));
    EXPECT_FALSE(sim.controller().tableViewForShortcut("shortcut", -1));
    EXPECT_TRUE(sim.controller().tableViewForShortcut("shortcut", 0));
    // A source without an icon gets an empty image view.
    auto none = sim::firstInside<ImageView>(sim.cell(sim::kSimIconColumn, 2));
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->image());
}

TEST(ShortcutCells, TheRecorderIsGivenOnlyTheTwoNumbersOfAStoredShortcut) {
    HotKeysAgent sim;
    PlistDictionary extra{{"keyCode", PlistValue(9)},
                          {"modifierFlags", PlistValue(kCommand)},
                          {"characters", PlistValue("v")}};
    sim.setStored("shortcutOfInput", PlistValue(PlistDictionary{{kRussian, PlistValue(extra)}}));
    sim.launch();
    EXPECT_FALSE(sim.recorder(1)->objectValue());
    EXPECT_EQ(sim.recorder(2)->objectValue(), combo(9, kCommand));
}

} // namespace
} // namespace velmora::testing
