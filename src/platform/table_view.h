// SPDX-License-Identifier: MIT
#pragma once
// View-based tables: the table asks its data source (the core) for the row count, each row's
// height and each cell's view, which the core builds with the views factory. Rows can be
// dragged to another place; the table asks the data source to write the drag, to validate a
// drop and to accept it. All on the main thread.

#include "platform/pasteboard.h"
#include "platform/view.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class TableView;

// Drag operations (bit masks).
using DragOperation = std::uint64_t;
struct DragOperations {
    enum : DragOperation { None = 0, Copy = 2, Link = 4, Move = 16, Every = ~DragOperation{0} };
};

// Where a drop goes: on row R, or above row R (R = row count: below the last row).
enum class TableViewDropOperation : int { On = 0, Above = 1 };

// What the table knows of a drag that reaches it.
struct DraggingInfo {
    // The table the drag started from; nullptr when it came from anything else (another
    // program, a view that is no table).
    const TableView* draggingSource = nullptr;
    Pasteboard& draggingPasteboard;
};

// Data source and delegate of a table, at once. Row arguments are whatever the table passes;
// implementations check them.
class TableViewDataSource {
  public:
    TableViewDataSource() = default;
    TableViewDataSource(const TableViewDataSource&) = delete;
    TableViewDataSource& operator=(const TableViewDataSource&) = delete;
    virtual ~TableViewDataSource() = default;

    // At least 0.
    virtual std::int64_t numberOfRowsInTableView(TableView& tableView) = 0;
    virtual double tableViewHeightOfRow(TableView& tableView, std::int64_t row) = 0;
    // The cell of the column named COLUMN (its identifier) in ROW; nullptr leaves it empty.
    virtual std::shared_ptr<View> tableViewViewForTableColumnRow(TableView& tableView,
                                                                 const std::string& column,
                                                                 std::int64_t row) = 0;
    // Puts the dragged ROWS on PASTEBOARD; false refuses the drag. Tables without dragging
    // refuse.
    virtual bool tableViewWriteRowsWithIndexesToPasteboard(TableView& tableView,
                                                           const IndexSet& rows,
                                                           Pasteboard& pasteboard) {
        (void)tableView, (void)rows, (void)pasteboard;
        return false;
    }
    // The operations a drop at ROW may have; DragOperations::None refuses it (and the table
    // never offers it to tableViewAcceptDropRowDropOperation).
    virtual DragOperation tableViewValidateDropProposedRowProposedDropOperation(
        TableView& tableView, const DraggingInfo& info, std::int64_t row,
        TableViewDropOperation operation) {
        (void)tableView, (void)info, (void)row, (void)operation;
        return DragOperations::None;
    }
    // Takes the drop; the answer says whether it succeeded.
    virtual bool tableViewAcceptDropRowDropOperation(TableView& tableView, const DraggingInfo& info,
                                                     std::int64_t row,
                                                     TableViewDropOperation operation) {
        (void)tableView, (void)info, (void)row, (void)operation;
        return false;
    }
};

class TableView : public View {
  public:
    // The column identifiers in the layout's order.
    virtual std::vector<std::string> columnIdentifiers() const = 0;
    // DATASOURCE is also the delegate; it is not owned and must outlive the table or be
    // replaced by nullptr (a table without data source has no rows).
    virtual void setDataSource(TableViewDataSource* dataSource) = 0;
    // Forgets every row and cell and asks the data source again.
    virtual void reloadData() = 0;
    // The selected row (the first one when several are); -1 when none is.
    virtual std::int64_t selectedRow() const = 0;
    // Selects ROWS (indexes past the last row are ignored), added to the selection when
    // EXTEND, else instead of it.
    virtual void selectRowIndexesByExtendingSelection(const IndexSet& rows, bool extend) = 0;
    virtual void deselectAll() = 0;
    // The operations a drag from this table offers to destinations in this program (LOCAL)
    // or outside it.
    virtual void setDraggingSourceOperationMaskForLocal(DragOperation mask, bool local) = 0;
    // The pasteboard types a drop onto this table may carry.
    virtual void registerForDraggedTypes(const std::vector<std::string>& types) = 0;
};

// Column identifiers of the rule table.
inline constexpr const char* kColumnIcon = "Icon";
inline constexpr const char* kColumnApplicationName = "Application Name";
inline constexpr const char* kColumnSelectInput = "Select Input";

} // namespace velmora
