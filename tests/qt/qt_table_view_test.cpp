// SPDX-License-Identifier: MIT
// The view-based table on Qt (offscreen): rows, heights and cells from a data source, the
// selection across reloads, and drags ended through the drop handler and drop events.

#include "qt/qt_controls.h"
#include "qt/qt_pasteboard.h"
#include "qt/qt_table_view.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

namespace velmora::qt {
namespace {

// Rows of names; cells are a label and a choice box; a drop moves the dragged row above the
// drop row (as the rule editor does) and says what it was told.
class NamesSource final : public TableViewDataSource {
  public:
    std::int64_t numberOfRowsInTableView(TableView&) override {
        return static_cast<std::int64_t>(names.size());
    }
    double tableViewHeightOfRow(TableView&, std::int64_t row) override { return 25 + row % 2; }
    std::shared_ptr<View> tableViewViewForTableColumnRow(TableView&, const std::string& column,
                                                         std::int64_t row) override {
        ++cellsMade;
        if (column == "name") {
            auto field = std::make_shared<QtTextField>();
            field->setEditable(false);
            field->setStringValue(names[static_cast<std::size_t>(row)]);
            return field;
        }
        if (column == "choice") {
            auto box = std::make_shared<QtComboBox>();
            box->addItemsWithObjectValues({"-", "German"});
            box->setTag(row);
            box->setSelectionDidChangeObserver(onChoice);
            return box;
        }
        return nullptr;
    }
    bool tableViewWriteRowsWithIndexesToPasteboard(TableView&, const IndexSet& rows,
                                                   Pasteboard& pasteboard) override {
        if (refuseDrags)
            return false;
        pasteboard.declareTypes({kRowDragType});
        return pasteboard.setDataForType(archivedDataWithRootObject(rows), kRowDragType);
    }
    DragOperation tableViewValidateDropProposedRowProposedDropOperation(
        TableView& table, const DraggingInfo& info, std::int64_t row,
        TableViewDropOperation operation) override {
        told.push_back("validate " + std::to_string(row) + describe(table, info, operation));
        return validation;
    }
    bool tableViewAcceptDropRowDropOperation(TableView& table, const DraggingInfo& info,
                                             std::int64_t row,
                                             TableViewDropOperation operation) override {
        told.push_back("accept " + std::to_string(row) + describe(table, info, operation));
        auto data = info.draggingPasteboard.dataForType(kRowDragType);
        auto rows = data ? unarchiveIndexSet(*data) : std::nullopt;
        if (info.draggingSource != &table || !rows || rows->empty())
            return true;
        const auto from = static_cast<std::size_t>(*rows->begin());
        const auto to = static_cast<std::size_t>(row > *rows->begin() ? row - 1 : row);
        std::string moved = names[from];
        names.erase(names.begin() + static_cast<std::ptrdiff_t>(from));
        names.insert(names.begin() + static_cast<std::ptrdiff_t>(to), moved);
        table.reloadData();
        return true;
    }

    static std::string describe(TableView& table, const DraggingInfo& info,
                                TableViewDropOperation operation) {
        std::string text = info.draggingSource == &table ? " from itself" : " from elsewhere";
        return text + (operation == TableViewDropOperation::Above ? " above" : " on");
    }

    std::vector<std::string> names{"W", "X", "Y", "Z"};
    std::vector<std::string> told;
    DragOperation validation = DragOperations::Every;
    bool refuseDrags = false;
    int cellsMade = 0;
    ComboBox::Observer onChoice;
};

class QtTables : public ::testing::Test {
  protected:
    void SetUp() override {
        window_.resize(300, 300);
        table_ = std::make_shared<QtTableView>(std::vector<QtTableView::Column>{
            {"icon", QString(), 40}, {"name", "Name", 120}, {"choice", "Layout", 100}});
        table_->setFrame(Rect{{0, 0}, {300, 300}});
        attachView(*table_, window_);
        window_.show();
        table_->registerForDraggedTypes({kRowDragType});
        table_->setDataSource(&source_);
    }
    void TearDown() override { table_->setDataSource(nullptr); }

    TableWidget& widget() { return *table_->table(); }
    std::string nameAt(std::int64_t row) {
        auto cell = table_->cellAt("name", row);
        return cell ? dynamic_cast<TextField&>(*cell).stringValue() : "(none)";
    }
    std::vector<std::string> shown() {
        std::vector<std::string> names;
        for (int row = 0; row < widget().rows().rowCount(); ++row)
            names.push_back(nameAt(row));
        return names;
    }
    // The middle of ROW's upper or lower half, in the viewport.
    QPoint inRow(int row, bool upper) {
        const int top = widget().rowViewportPosition(row);
        const int height = widget().rowHeight(row);
        return QPoint(50, upper ? top + height / 4 : top + 3 * height / 4);
    }
    void pickRow(int row) { table_->selectRowIndexesByExtendingSelection({row}, false); }
    bool dragAndDrop(int row, QPoint at) {
        pickRow(row);
        auto mime = widget().dragData();
        return mime && widget().dropAt(mime.get(), &widget(), widget().dropRowAt(at));
    }

    QWidget window_;
    NamesSource source_;
    std::shared_ptr<QtTableView> table_;
};

TEST_F(QtTables, RowsHeightsAndCellsComeFromTheDataSource) {
    EXPECT_EQ(shown(), (std::vector<std::string>{"W", "X", "Y", "Z"}));
    EXPECT_EQ(widget().rowHeight(1), 26);
    EXPECT_EQ(table_->cellAt("icon", 0), nullptr); // the data source left it empty
    // A cell's widget is the table's cell.
    QWidget* choice = widgetOf(table_->cellAt("choice", 2).get());
    QCoreApplication::processEvents(); // the table lays its cells out
    EXPECT_EQ(widget().indexWidget(widget().rows().index(2, 2)), choice);
    EXPECT_EQ(choice->height(), widget().rowHeight(2));
    source_.names = {"A"};
    table_->reloadData();
    EXPECT_EQ(shown(), (std::vector<std::string>{"A"}));
    table_->setDataSource(nullptr);
    EXPECT_EQ(widget().rows().rowCount(), 0);
}

TEST_F(QtTables, TheSelectionOutlivesAReloadAsFarAsTheRowsDo) {
    table_->selectRowIndexesByExtendingSelection({2}, false);
    table_->reloadData();
    EXPECT_EQ(table_->selectedRow(), 2);
    table_->selectRowIndexesByExtendingSelection({1, 9}, true);
    EXPECT_EQ(table_->selectedRow(), 1);
    table_->selectRowIndexesByExtendingSelection({3}, false);
    source_.names = {"A", "B"};
    table_->reloadData();
    EXPECT_EQ(table_->selectedRow(), -1);
}

TEST_F(QtTables, AClickSelectsASingleRow) {
    table_->selectRowIndexesByExtendingSelection({1, 2}, false);
    QTest::mouseClick(widget().viewport(), Qt::LeftButton, {}, inRow(0, true));
    EXPECT_EQ(table_->selectedRow(), 0);
    table_->deselectAll();
    EXPECT_EQ(table_->selectedRow(), -1);
}

TEST_F(QtTables, ACellThatReloadsTheTableFromItsHandlerIsSafe) {
    source_.onChoice = [this](ComboBox& box) {
        source_.names[static_cast<std::size_t>(box.tag())] = *box.objectValueOfSelectedItem();
        table_->reloadData();
    };
    table_->reloadData();
    auto* box = qobject_cast<QComboBox*>(widgetOf(table_->cellAt("choice", 1).get()));
    ASSERT_TRUE(box);
    QTest::keyClick(box, Qt::Key_End);
    EXPECT_EQ(shown(), (std::vector<std::string>{"W", "German", "Y", "Z"}));
    QCoreApplication::processEvents(); // the old cells go now
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(nameAt(1), "German");
}

// A drop goes above the row under the upper half, below it under the lower half.
TEST_F(QtTables, RowsDraggedUpAndDownLandWhereTheyWereDropped) {
    EXPECT_EQ(widget().dropRowAt(inRow(0, false)), 1);
    EXPECT_EQ(widget().dropRowAt(QPoint(50, 290)), 4); // below the last row
    // The drop rows are those before the move: a downward move is the data source's to count.
    EXPECT_TRUE(dragAndDrop(0, inRow(3, true))); // W above Z
    EXPECT_EQ(shown(), (std::vector<std::string>{"X", "Y", "W", "Z"}));
    EXPECT_EQ(source_.told.back(), "accept 3 from itself above");
    EXPECT_TRUE(dragAndDrop(2, inRow(3, false))); // W below Z
    EXPECT_EQ(shown(), (std::vector<std::string>{"X", "Y", "Z", "W"}));
    EXPECT_TRUE(dragAndDrop(3, inRow(0, true))); // W above X
    EXPECT_EQ(shown(), (std::vector<std::string>{"W", "X", "Y", "Z"}));
    EXPECT_TRUE(dragAndDrop(1, inRow(1, false))); // X just below itself
    EXPECT_EQ(shown(), (std::vector<std::string>{"W", "X", "Y", "Z"}));
    EXPECT_EQ(source_.told.size(), 8u); // each drop validated, then taken
}

TEST_F(QtTables, TheDataSourceDecidesWhatIsDragged) {
    EXPECT_EQ(widget().dragData(), nullptr); // nothing selected
    pickRow(1);
    auto mime = widget().dragData();
    ASSERT_TRUE(mime);
    EXPECT_EQ(mime->text(), "velmora-index-set:1"); // text to other programs
    source_.refuseDrags = true;
    EXPECT_EQ(widget().dragData(), nullptr);
}

TEST_F(QtTables, TheDataSourceDecidesWhereADropMayGo) {
    pickRow(1);
    auto mime = widget().dragData();
    source_.validation = DragOperations::None;
    EXPECT_FALSE(widget().dropAt(mime.get(), &widget(), 3));
    EXPECT_EQ(source_.told, (std::vector<std::string>{"validate 3 from itself above"}));
    // Nothing the table was not registered for reaches the data source.
    source_.validation = DragOperations::Every;
    QMimeData image;
    image.setData("image/png", "x");
    EXPECT_FALSE(widget().dropAt(&image, &widget(), 0));
    EXPECT_EQ(source_.told.size(), 1u);
}

TEST_F(QtTables, TextFromElsewhereIsOfferedWithoutASource) {
    QMimeData text;
    text.setText("velmora-index-set:0");
    const QPoint at = inRow(2, true);
    // As a drag goes: it enters (Qt sends the rest only to a widget that took the entry).
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &text, Qt::LeftButton, {});
    QCoreApplication::sendEvent(widget().viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &text, Qt::LeftButton, {});
    QCoreApplication::sendEvent(widget().viewport(), &move);
    EXPECT_TRUE(move.isAccepted());
    EXPECT_EQ(widget().dropIndicatorRow(), 2);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &text, Qt::LeftButton, {});
    QCoreApplication::sendEvent(widget().viewport(), &drop);
    EXPECT_EQ(widget().dropIndicatorRow(), -1);
    ASSERT_FALSE(source_.told.empty());
    EXPECT_EQ(source_.told.back(), "accept 2 from elsewhere above");
    EXPECT_EQ(shown(), (std::vector<std::string>{"W", "X", "Y", "Z"}));

    source_.validation = DragOperations::None;
    QCoreApplication::sendEvent(widget().viewport(), &enter);
    QDragMoveEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, {});
    QCoreApplication::sendEvent(widget().viewport(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

} // namespace
} // namespace velmora::qt
