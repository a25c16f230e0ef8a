// SPDX-License-Identifier: MIT
// The rule table: its cells, what choosing writes, and rows whose rule the catalogue lacks.

#include "editor_agent.h"

#include <gtest/gtest.h>

#include <map>

namespace velmora::testing {
namespace {

PlistDictionary recordOf(EditorAgent& sim, const std::string& bundle) {
    const PlistValue rules = sim.rules();
    const PlistValue* found = rules.find(bundle);
    return found && found->dictionary() ? *found->dictionary() : PlistDictionary{};
}

// The icon, name and source of a row, also of an application not found: editor-rules.scenario
// and editor-list.scenario.
TEST(RuleTable, CellsOutsideTheTableAreNone) {
    EditorAgent sim;
    sim.launch();
    auto& controller = sim.controller();
    EXPECT_EQ(controller.inputSourceCell("Shortcut", 0), nullptr);
    EXPECT_EQ(controller.inputSourceCell("Icon", 3), nullptr);
    EXPECT_EQ(controller.inputSourceCell("Icon", -1), nullptr);
}

// The simulated desktop shows "-" for a rule the catalogue lacks; a desktop that names such
// sources shows the source's name, or the ID without one, marked as not available. Either way
// the record stays as it is, through reloads and a popover closed and opened again.
TEST(RuleTable, ARuleOutsideTheCatalogueIsLeftAlone) {
    const std::string longId = "xkb:" + std::string(300, 'x');
    for (bool named : {false, true}) {
        SCOPED_TRACE(named);
        EditorAgent sim;
        sim.addInput("com.apple.keylayout.French", "French", /*enabled=*/false);
        sim.addApp("com.example.d", "Delta");
        sim.addApp("com.example.e", "Epsilon");
        sim.desktop.platform().facts.namesUnavailableRuleSources = named;
        sim.setStored("velmora",
                      PlistValue(PlistDictionary{
                          {"com.example.a", PlistDictionary{{"id", "com.apple.keylayout.Gone"}}},
                          {"com.example.b", PlistValue("not a record")},
                          {"com.example.c", PlistDictionary{{"id", 12}}},
                          {"com.example.d", PlistDictionary{{"id", "com.apple.keylayout.French"}}},
                          {"com.example.e", PlistDictionary{{"id", longId}}}}));
        const PlistValue before = sim.rules();
        sim.launch();
        const std::map<std::string, std::string> shown{
            {"com.example.a", named ? "com.apple.keylayout.Gone (missing)" : "-"},
            {"com.example.b", "-"},
            {"com.example.c", "-"},
            {"com.example.d", named ? "French (missing)" : "-"},
            {"com.example.e", named ? "xkb:" + std::string(76, 'x') + " (missing)" : "-"}};
        ASSERT_EQ(sim.apps().size(), shown.size());
        for (int round = 0; round < 2; ++round) {
            for (std::int64_t row = 0; row < 5; ++row)
                EXPECT_EQ(sim.box(row)->stringValue(),
                          shown.at(sim.apps()[static_cast<std::size_t>(row)]))
                    << row;
            sim.table().reloadData();
            sim.reopenPopover();
        }
        EXPECT_EQ(sim.rules(), before);
        EXPECT_TRUE(sim.traceWith("defaults set velmora").empty());
    }
}

// While an input-method framework runs, a rule for a layout is met by the framework's entry for
// it: the box shows that entry, not the layout as missing.
TEST(RuleTable, ARuleForTheSameSourceShowsItsCatalogueEntry) {
    EditorAgent sim;
    sim.setRule("com.example.a", "xkb:de");
    sim.launch();
    Platform& platform = sim.desktop.platform();
    RuleTable table(sim.lists(), sim.agent().settings(), platform.workspace, platform.views,
                    platform.runLoop,
                    {.inputSelectionChanged = {},
                     .refreshInputTableView = {},
                     .nameOfUnavailableSource = [](const std::string& id) { return id; },
                     .isSameSource =
                         [](const std::string& id, const std::string& sourceID) {
                             return id == "xkb:de" && sourceID == kGerman;
                         }});
    auto box = std::dynamic_pointer_cast<ComboBox>(table.inputSourceCell("Select Input", 0));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->stringValue(), "German");
}

TEST(RuleTable, AChoiceOnlyWritesWhatItCan) {
    EditorAgent sim;
    sim.launch();
    // A dash on a row without a record leaves an empty record and schedules no reload.
    ASSERT_TRUE(sim.box(1)->userSelects("-"));
    EXPECT_TRUE(sim.rules().find("com.example.b"));
    EXPECT_EQ(recordOf(sim, "com.example.b"), PlistDictionary{});
    sim.at(400);
    EXPECT_TRUE(sim.traceWith("reload").empty());
    // A box built before the catalogue changed may offer a name that is gone.
    sim::SimComboBox* builtBefore = sim.box(2);
    sim.lists().catalogue.pop_back();
    sim.lists().catalogue.erase(sim.lists().catalogue.begin() + 1);
    sim.at(500);
    sim.desktop.trace().clear();
    ASSERT_TRUE(builtBefore->userSelects("German"));
    EXPECT_TRUE(sim.traceWith("defaults").empty());
    sim.at(1000);
    EXPECT_EQ(sim.traceWith("reload"), Lines{"600 reload rules"});
}

TEST(RuleTable, EnglishSymbolWritesOneOrZero) {
    EditorAgent sim;
    sim.setRule("com.example.c", kGerman);
    sim.launch(); // c has a rule: it is row 0
    sim::SimButton sender;
    const std::pair<std::int64_t, const char*> steps[] = {{ControlState::On, "1"},
                                                          {ControlState::Off, "0"}};
    for (auto [state, value] : steps) {
        sender.setTag(0);
        sender.setState(state);
        sim.controller().onEnglishSymbolChanged(sender);
        EXPECT_EQ(recordOf(sim, "com.example.c"),
                  (PlistDictionary{{"English Symbol", value}, {"id", kGerman}}));
    }
    EXPECT_EQ(sim.traceWith("reload").size(), 2u);
}

TEST(RuleTable, ABoxWhoseRowIsGoneChangesNothing) {
    EditorAgent sim;
    sim.launch();
    // Held here: the reload after the removal makes the table forget it.
    auto stale = std::dynamic_pointer_cast<sim::SimComboBox>(
        sim.table().viewAtColumnRow(kColumnSelectInput, 2));
    sim.table().selectRowIndexesByExtendingSelection({2}, false);
    sim.controller().mouseDown();
    sim.button(&PopoverLayout::removeButton).performClick();
    sim.desktop.trace().clear();
    ASSERT_TRUE(stale->userSelects("ABC"));
    sim.at(1000);
    EXPECT_TRUE(sim.trace().empty());
    EXPECT_FALSE(sim.rules().find("com.example.c"));
}

} // namespace
} // namespace velmora::testing
