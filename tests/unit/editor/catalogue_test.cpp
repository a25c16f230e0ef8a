// SPDX-License-Identifier: MIT
// The input source catalogue: which sources it lists, and its three lists kept aligned. (No
// palette, unselectable or disabled source: editor-rules.scenario's catalogue.)

#include "editor/input_catalogue.h"
#include "editor_agent.h"
#include "sim/sim_images.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

std::string iconName(const ImagePtr& image) {
    auto* simImage = dynamic_cast<const sim::SimImage*>(image.get());
    return simImage ? simImage->name() : "none";
}

TEST(Catalogue, ItsListsStayAligned) {
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
    add("c", "ByFile", [](InputSource& s) { s.iconImageURL = "file"; });
    add("f", "BrokenFile", [](InputSource& s) { s.iconImageURL = sim::kBrokenIconURL; });
    add("g", "NoIcon", [](InputSource&) {});
    add("h", "Lowercase category",
        [](InputSource& s) { s.category = "tiscategorykeyboardinputsource"; });
    InputSource nameless;
    nameless.localizedName = "No ID";
    desktop.world().inputs.push_back(nameless);

    EditorLists lists;
    rebuildInputCatalogue(lists, desktop.platform().inputSources, desktop.platform().images);
    Lines ids, names, icons;
    for (const CatalogueEntry& entry : lists.catalogue) {
        ids.push_back(entry.id);
        names.push_back(entry.inputName);
        icons.push_back(iconName(entry.icon));
    }
    EXPECT_EQ(ids, (Lines{"a", "c", "f", "g"}));
    EXPECT_EQ(lists.sourceChoices(), (Lines{"-", "ByRef", "ByFile", "BrokenFile", "NoIcon"}));
    EXPECT_EQ(icons, (Lines{"flag", "file", "none", "none"}));
}

TEST(Catalogue, AnEmptiedCatalogueShowsAtTheNextShowing) {
    EditorAgent sim;
    sim.launch();
    sim::SimComboBox* box = sim.box(0);
    sim.desktop.world().inputs.clear();
    // The open popover keeps the catalogue it was shown with.
    ASSERT_TRUE(box->userSelects("German"));
    EXPECT_EQ(sim.agent().settings().ruleInputSourceID("com.example.a"), kGerman);
    sim.reopenPopover();
    EXPECT_TRUE(sim.lists().catalogue.empty());
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
