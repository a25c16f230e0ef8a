// SPDX-License-Identifier: MIT
// Dragging rows, adding through the open panel and removing the selected row.

#include "editor_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

// W, X, Y, Z as the stored order.
class DragTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.addApp("com.example.d", "Delta");
        sim.setStored("orderOfAppsRule", strings({"W", "X", "Y", "Z"}));
        for (const char* bundle : {"W", "X", "Y", "Z"})
            sim.addApp(bundle, bundle);
        sim.launch();
        ASSERT_EQ(rows(4), (Lines{"W", "X", "Y", "Z"}));
    }
    Lines rows(std::size_t n) {
        Lines all = sim.apps();
        all.resize(std::min(n, all.size()));
        return all;
    }
    EditorAgent sim;
};

// A drop from another source or onto a row: editor-list.scenario.
TEST_F(DragTest, ADropWhereTheRowIsStillStoresTheOrder) {
    for (std::int64_t to : {1, 2}) {
        sim.table().selectRowIndexesByExtendingSelection({2}, false);
        sim.table().dragRow(1, to, TableViewDropOperation::Above);
        EXPECT_EQ(rows(4), (Lines{"W", "X", "Y", "Z"})) << to;
        auto stored = sim.stored("orderOfAppsRule");
        ASSERT_TRUE(stored && stored->array());
        EXPECT_EQ(stored->array()->size(), sim.apps().size());
        EXPECT_EQ(sim.table().selectedRow(), -1);
    }
}

TEST_F(DragTest, PayloadsThatNameNoRowMoveNothing) {
    const Lines before = sim.apps();
    auto& table = sim.table();
    // Payloads of no index set at all: IndexSetArchive in pasteboard_test.cpp.
    for (const std::string payload : {"garbage", "velmora-index-set:99"}) {
        sim::SimPasteboard pasteboard;
        pasteboard.declareTypes({kRowDragType});
        pasteboard.setDataForType(Data(payload.begin(), payload.end()), kRowDragType);
        DraggingInfo info{&table, pasteboard};
        EXPECT_TRUE(sim.controller().tableViewAcceptDropRowDropOperation(
            table, info, 0, TableViewDropOperation::Above))
            << payload;
    }
    sim::SimPasteboard empty;
    DraggingInfo nothing{&table, empty};
    EXPECT_TRUE(sim.controller().tableViewAcceptDropRowDropOperation(
        table, nothing, 0, TableViewDropOperation::Above));
    // A valid row dropped past the end of the list.
    sim::SimPasteboard valid;
    sim.controller().tableViewWriteRowsWithIndexesToPasteboard(table, {1}, valid);
    DraggingInfo info{&table, valid};
    EXPECT_TRUE(sim.controller().tableViewAcceptDropRowDropOperation(
        table, info, 1000, TableViewDropOperation::Above));
    EXPECT_EQ(sim.apps(), before);
    EXPECT_TRUE(sim.traceWith("orderOfAppsRule").empty());
}

TEST_F(DragTest, OnlyTheFirstOfSeveralDraggedRowsMoves) {
    sim::SimPasteboard pasteboard;
    auto& table = sim.table();
    sim.controller().tableViewWriteRowsWithIndexesToPasteboard(table, {2, 3}, pasteboard);
    DraggingInfo info{&table, pasteboard};
    sim.controller().tableViewAcceptDropRowDropOperation(table, info, 0,
                                                         TableViewDropOperation::Above);
    EXPECT_EQ(rows(4), (Lines{"Y", "W", "X", "Z"}));
}

// That it needs a selection: editor-list.scenario.
TEST(RemoveApplication, KeepsJunkInTheHiddenList) {
    EditorAgent sim;
    sim.setRule("com.example.a", kGerman);
    sim.setRule("com.example.b", kRussian);
    sim.setStored("notDisplayAppName", PlistValue(PlistArray{PlistValue(3), PlistValue("x")}));
    sim.launch();
    sim.table().selectRowIndexesByExtendingSelection({0}, false);
    sim.controller().mouseDown();
    sim.button(&PopoverLayout::removeButton).performClick();
    EXPECT_EQ(sim.rules(),
              PlistValue(PlistDictionary{{"com.example.b", PlistDictionary{{"id", kRussian}}}}));
    EXPECT_EQ(sim.stored("notDisplayAppName"),
              PlistValue(PlistArray{PlistValue(3), PlistValue("x"), PlistValue("com.example.a")}));
}

class AddApplicationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.addApp("com.example.new", "New", ActivationPolicy::Regular, false);
        sim.setStored("notDisplayAppName",
                      strings({"com.example.new", "com.example.b", "com.example.new"}));
        sim.launch();
    }
    // Presses the add button; the panel answers PATH (none: cancel).
    void add(const std::optional<std::string>& path) {
        sim.button(&PopoverLayout::addButton).performClick();
        auto panel = sim.desktop.views().pendingOpenPanel();
        ASSERT_TRUE(panel);
        EXPECT_EQ(panel->directory, "/Applications");
        EXPECT_TRUE(panel->canChooseDirectories && panel->canChooseFiles);
        EXPECT_FALSE(panel->canCreateDirectories || panel->allowsMultipleSelection);
        EXPECT_TRUE(panel->answer(path));
        EXPECT_FALSE(panel->answer(path)); // the handler runs once
    }
    EditorAgent sim;
};

// Last, without a rule, the popover back: editor-list.scenario.
TEST_F(AddApplicationTest, AddingClearsEveryHiddenEntryOfTheBundle) {
    add("/Applications/New.app");
    EXPECT_EQ(sim.apps(), (Lines{"com.example.a", "com.example.c", "com.example.new"}));
    EXPECT_EQ(sim.stored("notDisplayAppName"), PlistValue(strings({"com.example.b"})));
    EXPECT_FALSE(sim.stored("orderOfAppsRule"));
}

TEST_F(AddApplicationTest, AnApplicationAlreadyListedIsNotListedTwice) {
    sim.setStored("notDisplayAppName", strings({"com.example.a", "com.example.b"}));
    add("/Applications/Alpha.app");
    EXPECT_EQ(sim.apps(), (Lines{"com.example.a", "com.example.c"}));
    EXPECT_EQ(sim.stored("notDisplayAppName"), PlistValue(strings({"com.example.b"})));
}

// A cancel and a folder whose Info.plist names no bundle: editor-list.scenario.
TEST_F(AddApplicationTest, ItemsWithoutABundleIdentifierAddNothing) {
    sim.desktop.world().files["/tmp/number/Contents/Info.plist"] =
        PlistValue(PlistDictionary{{"CFBundleIdentifier", 5}});
    sim.desktop.world().files["/tmp/list/Contents/Info.plist"] = PlistValue(strings({"x"}));
    sim.desktop.world().files["/tmp/empty/Contents/Info.plist"] =
        PlistValue(PlistDictionary{{"CFBundleIdentifier", ""}});
    for (const auto& path : std::vector<std::optional<std::string>>{"/tmp/number", "/tmp/list",
                                                                    "/tmp/empty", "/nowhere", ""}) {
        sim.desktop.trace().clear();
        add(path);
        EXPECT_EQ(sim.apps(), (Lines{"com.example.a", "com.example.c"}));
        EXPECT_TRUE(sim.traceWith("defaults").empty());
        EXPECT_EQ(sim.traceWith("popover show"), Lines{"0 popover show 330"});
    }
}

TEST(AddApplication, TheRemoveButtonFollowsTheSelectionAtOnce) {
    EditorAgent sim;
    sim.launch();
    sim.table().selectRowIndexesByExtendingSelection({1}, false);
    sim.button(&PopoverLayout::addButton).performClick();
    EXPECT_TRUE(sim.button(&PopoverLayout::removeButton).isEnabled());
    EXPECT_TRUE(sim.desktop.views().pendingOpenPanel()->answer(std::nullopt));
}

} // namespace
} // namespace velmora::testing
