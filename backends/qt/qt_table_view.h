// SPDX-License-Identifier: MIT
#pragma once
// A view-based table as a QTableView: the data source gives the row count, each row's height
// and each cell's view, which the table hosts as the cell's widget. Rows can be dragged:
// the data source writes the drag's pasteboard, validates each place a drop may go and takes
// the drop. A drop goes above a row (below the last one at the end), never onto one; the row
// is passed as it is before anything moves, so that a downward move lands one row higher once
// the dragged row has left its place, and the data source is the one to account for that.
//
// Main thread only.

#include "qt_view.h"

#include "platform/table_view.h"

#include <QAbstractTableModel>
#include <QTableView>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora::qt {

class QtTableView;

// The rows as Qt sees them: as many as the data source said at the last reload.
class TableRowsModel final : public QAbstractTableModel {
  public:
    explicit TableRowsModel(int columns) : columns_(columns) {}
    void reset(int rows);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void setTitles(std::vector<QString> titles) { titles_ = std::move(titles); }

  private:
    int columns_;
    int rows_ = 0;
    std::vector<QString> titles_;
};

class TableWidget final : public QTableView {
  public:
    TableWidget(QtTableView* owner, int columns);
    TableRowsModel& rows() { return model_; }
    void forgetOwner() { owner_ = nullptr; }
    QtTableView* owner() const { return owner_; }

    // Where a drop at POSITION (in the viewport) goes: above the row under it when in its upper
    // half, else above the next one; the row count below the last row.
    int dropRowAt(QPoint position) const;
    // The drop of MIME from SOURCE (a widget of this program, or nullptr) above ROW, as a
    // drop event does it: validated first, then taken. True when the data source took it.
    bool dropAt(const QMimeData* mime, QObject* source, int row);
    // The data of a drag of the selected rows, written by the data source; nullptr when
    // nothing is selected or the data source refuses.
    std::unique_ptr<QMimeData> dragData();
    // Cells of the last reload but one, kept until the event loop comes back (a cell's own
    // handler may have caused the reload).
    void retire(std::vector<std::shared_ptr<View>> cells);
    int dropIndicatorRow() const { return dropIndicatorRow_; }

  protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    // The operations the data source allows for a drop of MIME from SOURCE above ROW.
    DragOperation validate(const QMimeData* mime, QObject* source, int row);
    void setDropIndicator(int row);

    QtTableView* owner_;
    TableRowsModel model_;
    std::vector<std::shared_ptr<View>> retired_;
    int dropIndicatorRow_ = -1;
};

class QtTableView final : public QtView<TableView> {
  public:
    struct Column {
        std::string identifier;
        QString title;
        int width = 0;
    };
    explicit QtTableView(std::vector<Column> columns);
    ~QtTableView() override;

    std::vector<std::string> columnIdentifiers() const override;
    void setDataSource(TableViewDataSource* dataSource) override;
    void reloadData() override;
    std::int64_t selectedRow() const override;
    void selectRowIndexesByExtendingSelection(const IndexSet& rows, bool extend) override;
    void deselectAll() override;
    void setDraggingSourceOperationMaskForLocal(DragOperation mask, bool local) override;
    void registerForDraggedTypes(const std::vector<std::string>& types) override;

    TableWidget* table() const;
    TableViewDataSource* dataSource() const { return dataSource_; }
    const std::vector<std::string>& draggedTypes() const { return draggedTypes_; }
    DragOperation operationMask(bool local) const { return local ? localMask_ : externalMask_; }
    // The cell of COLUMN in ROW as the last reload made it; nullptr when there is none.
    std::shared_ptr<View> cellAt(const std::string& column, std::int64_t row) const;

  private:
    void rebuild();

    std::vector<Column> columns_;
    TableViewDataSource* dataSource_ = nullptr;
    bool reloading_ = false;
    bool reloadAgain_ = false;
    std::map<std::pair<std::int64_t, std::size_t>, std::shared_ptr<View>> cells_;
    DragOperation localMask_ = DragOperations::Every;
    DragOperation externalMask_ = DragOperations::Copy;
    std::vector<std::string> draggedTypes_;
};

// Qt's drop actions for drag operations, and back.
Qt::DropActions toDropActions(DragOperation operations);
DragOperation toDragOperations(Qt::DropActions actions);

} // namespace velmora::qt
