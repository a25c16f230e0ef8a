// The input source catalogue: which sources it lists, and its three lists kept aligned.

#include "editor/input_catalogue.h"
#include "editor_agent.h"
#include "sim_images.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

std::string iconName(const ImagePtr& image) {
    auto* simImage = dynamic_cast<const sim::SimImage*>(image.get());
    return simImage ? simImage->name() : "none";
}

TEST(Catalogue, ListsEnabledSelectableKeyboardSourcesWithAlignedIcons) {
    sim::SimDesktop desktop;
    desktop.images().icons["flag"] = sim::SimIcon{16, 16, std::vector<std::uint8_t>(1024, 0)};
    desktop.images().icons["file"] = sim::SimIcon{8, 8, std::vector<std::uint8_t>(256, 0)};
    auto add = [&](const char* id, const char* name, auto change) {
        InputSource source;
        source.inputSourceID = id;
        source.localizedName = name;
        change(source);
        desktop.world().inputs.push_back(source);
    };
    add("a", "ByRef", [](InputSource& s) {
        s.iconRef = "flag";
        s.iconImageURL = "file"; // the reference wins
    });
    add("b", "Palette", [](InputSource& s) { s.category = kPaletteCategory; });
    add("c", "ByFile", [](InputSource& s) { s.iconImageURL = "file"; });
    add("d", "Unselectable", [](InputSource& s) { s.isSelectCapable = false; });
    add("e", "Disabled", [](InputSource& s) { s.isEnabled = false; });
    add("f", "BrokenFile", [](InputSource& s) { s.iconImageURL = sim::kBrokenIconURL; });
    add("g", "NoIcon", [](InputSource&) {});
    add("h", "Lowercase category",
        [](InputSource& s) { s.category = "tiscategorykeyboardinputsource"; });
    InputSource nameless;
    nameless.localizedName = "No ID";
    desktop.world().inputs.push_back(nameless);

    EditorLists lists;
    rebuildInputCatalogue(lists, desktop.platform().inputSources, desktop.platform().images);
    EXPECT_EQ(lists.arrOfInputName,
              (std::vector<CatalogueEntry>{
                  {"a", "ByRef"}, {"c", "ByFile"}, {"f", "BrokenFile"}, {"g", "NoIcon"}}));
    EXPECT_EQ(lists.arrOfInputName2, (Lines{"-", "ByRef", "ByFile", "BrokenFile", "NoIcon"}));
    ASSERT_EQ(lists.arrOfInputImage.size(), 4u);
    EXPECT_EQ(iconName(lists.arrOfInputImage[0]), "flag");
    EXPECT_EQ(iconName(lists.arrOfInputImage[1]), "file");
    EXPECT_EQ(iconName(lists.arrOfInputImage[2]), "none");
    EXPECT_EQ(iconName(lists.arrOfInputImage[3]), "none");

    // A rebuild replaces all three; with nothing left only "-" remains.
    desktop.world().inputs.clear();
    rebuildInputCatalogue(lists, desktop.platform().inputSources, desktop.platform().images);
    EXPECT_TRUE(lists.arrOfInputName.empty());
    EXPECT_EQ(lists.arrOfInputName2, Lines{"-"});
    EXPECT_TRUE(lists.arrOfInputImage.empty());
}

TEST(Catalogue, ACatalogueEmptiedWhileOpenChangesAtTheNextShowing) {
    EditorAgent sim;
    sim.launch();
    sim::SimComboBox* box = sim.box(0);
    sim.desktop.world().inputs.clear();
    // The open popover keeps the catalogue it was shown with.
    ASSERT_TRUE(box->userSelects("German"));
    EXPECT_EQ(sim.agent().settings().ruleInputSourceID("com.example.a"), kGerman);
    sim.button(&PopoverLayout::adjustSizeButton).performClick();
    EXPECT_EQ(sim.popover().contentSize().height, 330 + 27 * 3 + 210);
    sim.reopenPopover();
    EXPECT_TRUE(sim.lists().arrOfInputName.empty());
    EXPECT_EQ(sim.box(0)->objectValues(), Lines{"-"});
    EXPECT_EQ(sim.box(0)->stringValue(), "-");
    EXPECT_EQ(
        sim.controller().numberOfRowsInTableView(*sim.controller().outlets().shortcutTableView), 0);
    sim.button(&PopoverLayout::adjustSizeButton).performClick();
    EXPECT_EQ(sim.popover().contentSize().height, 540);
    EXPECT_EQ(sim.controller().outlets().shortcutView->frame(), (Rect{{0, -72}, {288, 27}}));
}

} // namespace
} // namespace velmora::testing
