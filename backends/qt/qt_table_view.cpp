// SPDX-License-Identifier: MIT
#include "qt_table_view.h"

#include "qt_pasteboard.h"

#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace velmora::qt {

namespace {

// More rows than anyone keeps rules for: a count beyond it is cut, not built.
constexpr std::int64_t kMostRows = 10000;
constexpr double kLowestRow = 1;
constexpr double kHighestRow = 1000;

int rowHeight(double height) {
    if (!(height >= kLowestRow))
        return static_cast<int>(kLowestRow);
    return static_cast<int>(std::lround(std::min(height, kHighestRow)));
}

} // namespace

Qt::DropActions toDropActions(DragOperation operations) {
    Qt::DropActions actions;
    if (operations & DragOperations::Copy)
        actions |= Qt::CopyAction;
    if (operations & DragOperations::Move)
        actions |= Qt::MoveAction;
    if (operations & DragOperations::Link)
        actions |= Qt::LinkAction;
    return actions;
}

DragOperation toDragOperations(Qt::DropActions actions) {
    DragOperation operations = DragOperations::None;
    if (actions & Qt::CopyAction)
        operations |= DragOperations::Copy;
    if (actions & Qt::MoveAction)
        operations |= DragOperations::Move;
    if (actions & Qt::LinkAction)
        operations |= 4;
    return operations;
}

void TableRowsModel::reset(int rows) {
    beginResetModel();
    rows_ = std::max(0, rows);
    endResetModel();
}

int TableRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int TableRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant TableRowsModel::data(const QModelIndex&, int) const {
    return {}; // every cell is a view
}

QVariant TableRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        static_cast<std::size_t>(section) >= titles_.size())
        return {};
    return titles_[static_cast<std::size_t>(section)];
}

Qt::ItemFlags TableRowsModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

TableWidget::TableWidget(QtTableView* owner, int columns) : owner_(owner), model_(columns) {
    setModel(&model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropOverwriteMode(false);
    setDropIndicatorShown(false); // drawn here: Qt's own knows nothing of our drop rows
    setDefaultDropAction(Qt::MoveAction);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(static_cast<int>(kLowestRow));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
}

void TableWidget::retire(std::vector<std::shared_ptr<View>> cells) {
    for (auto& cell : cells)
        retired_.push_back(std::move(cell));
    QTimer::singleShot(0, this, [this] { retired_.clear(); });
}

int TableWidget::dropRowAt(QPoint position) const {
    const int rows = model_.rowCount();
    const int row = rowAt(position.y());
    if (row < 0)
        return position.y() < 0 ? 0 : rows;
    const int top = rowViewportPosition(row);
    return position.y() < top + rowHeight(row) / 2 ? row : row + 1;
}

DragOperation TableWidget::validate(const QMimeData* mime, QObject* source, int row) {
    TableViewDataSource* dataSource = owner_ ? owner_->dataSource() : nullptr;
    if (!dataSource || !carriesAnyType(mime, owner_->draggedTypes()))
        return DragOperations::None;
    MimePasteboard pasteboard(mime);
    auto* sourceTable = dynamic_cast<TableWidget*>(source);
    DraggingInfo info{sourceTable ? sourceTable->owner() : nullptr, pasteboard};
    return dataSource->tableViewValidateDropProposedRowProposedDropOperation(
        *owner_, info, row, TableViewDropOperation::Above);
}

bool TableWidget::dropAt(const QMimeData* mime, QObject* source, int row) {
    if (validate(mime, source, row) == DragOperations::None)
        return false;
    MimePasteboard pasteboard(mime);
    auto* sourceTable = dynamic_cast<TableWidget*>(source);
    DraggingInfo info{sourceTable ? sourceTable->owner() : nullptr, pasteboard};
    // The data source may reload this table: nothing of the drop is used after it.
    return owner_->dataSource()->tableViewAcceptDropRowDropOperation(*owner_, info, row,
                                                                     TableViewDropOperation::Above);
}

std::unique_ptr<QMimeData> TableWidget::dragData() {
    TableViewDataSource* dataSource = owner_ ? owner_->dataSource() : nullptr;
    if (!dataSource)
        return nullptr;
    IndexSet rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.insert(index.row());
    if (rows.empty())
        return nullptr;
    QtPasteboard pasteboard;
    if (!dataSource->tableViewWriteRowsWithIndexesToPasteboard(*owner_, rows, pasteboard))
        return nullptr;
    return pasteboard.toMimeData();
}

void TableWidget::startDrag(Qt::DropActions) {
    std::unique_ptr<QMimeData> mime = dragData();
    if (!mime || !owner_)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(mime.release());
    const QModelIndex pressed = currentIndex();
    if (pressed.isValid()) {
        // The dragged row as it looks, where it was under the pointer, without its last column
        // (the rule table's layout choice): moving up and down, the image never hides the
        // layouts of the rows it passes, where the user looks for the place to drop it.
        QRect row = visualRect(pressed);
        row.setLeft(0);
        const int lastColumn = model_.columnCount() - 1;
        row.setRight((lastColumn > 0 ? columnViewportPosition(lastColumn) : viewport()->width()) -
                     1);
        if (row.width() > 0 && row.height() > 0) {
            drag->setPixmap(viewport()->grab(row));
            const QPoint pointer = viewport()->mapFromGlobal(QCursor::pos()) - row.topLeft();
            drag->setHotSpot(QPoint(std::clamp(pointer.x(), 0, row.width() - 1),
                                    std::clamp(pointer.y(), 0, row.height() - 1)));
        }
    }
    const Qt::DropActions actions =
        toDropActions(owner_->operationMask(true) | owner_->operationMask(false));
    // What the drag did is the data source's business: the table removes nothing itself.
    drag->exec(actions ? actions : Qt::CopyAction, Qt::MoveAction);
    setDropIndicator(-1);
}

void TableWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (owner_ && carriesAnyType(event->mimeData(), owner_->draggedTypes()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TableWidget::dragMoveEvent(QDragMoveEvent* event) {
    const int row = dropRowAt(event->position().toPoint());
    const Qt::DropActions allowed =
        toDropActions(validate(event->mimeData(), event->source(), row)) & event->possibleActions();
    if (!allowed) {
        setDropIndicator(-1);
        event->ignore();
        return;
    }
    event->setDropAction(allowed & event->proposedAction() ? event->proposedAction()
                         : allowed & Qt::MoveAction        ? Qt::MoveAction
                                                           : Qt::CopyAction);
    event->accept();
    setDropIndicator(row);
}

void TableWidget::dragLeaveEvent(QDragLeaveEvent* event) {
    setDropIndicator(-1);
    event->accept();
}

void TableWidget::dropEvent(QDropEvent* event) {
    setDropIndicator(-1);
    const int row = dropRowAt(event->position().toPoint());
    if (dropAt(event->mimeData(), event->source(), row))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TableWidget::setDropIndicator(int row) {
    if (row == dropIndicatorRow_)
        return;
    dropIndicatorRow_ = row;
    viewport()->update();
}

void TableWidget::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (dropIndicatorRow_ < 0)
        return;
    const int rows = model_.rowCount();
    int y = 0;
    if (dropIndicatorRow_ < rows)
        y = rowViewportPosition(dropIndicatorRow_);
    else if (rows > 0)
        y = rowViewportPosition(rows - 1) + rowHeight(rows - 1) - 1;
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawLine(0, y, viewport()->width(), y);
}

QtTableView::QtTableView(std::vector<Column> columns)
    : QtView(new TableWidget(this, static_cast<int>(columns.size()))),
      columns_(std::move(columns)) {
    TableWidget* widget = table();
    std::vector<QString> titles;
    for (const auto& column : columns_)
        titles.push_back(column.title);
    widget->rows().setTitles(std::move(titles));
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].width > 0)
            widget->setColumnWidth(static_cast<int>(i), columns_[i].width);
}

QtTableView::~QtTableView() {
    if (TableWidget* widget = table())
        widget->forgetOwner();
}

TableWidget* QtTableView::table() const {
    return static_cast<TableWidget*>(widget());
}

std::vector<std::string> QtTableView::columnIdentifiers() const {
    std::vector<std::string> identifiers;
    for (const auto& column : columns_)
        identifiers.push_back(column.identifier);
    return identifiers;
}

void QtTableView::setDataSource(TableViewDataSource* dataSource) {
    dataSource_ = dataSource;
    reloadData();
}

void QtTableView::reloadData() {
    // A data source that reloads while it makes a cell gets one more reload, after this one.
    if (reloading_) {
        reloadAgain_ = true;
        return;
    }
    reloading_ = true;
    do {
        reloadAgain_ = false;
        rebuild();
    } while (reloadAgain_);
    reloading_ = false;
}

void QtTableView::rebuild() {
    TableWidget* widget = table();
    if (!widget)
        return;
    IndexSet selected;
    for (const QModelIndex& index : widget->selectionModel()->selectedRows())
        selected.insert(index.row());
    std::vector<std::shared_ptr<View>> previous;
    for (auto& [place, cell] : cells_)
        previous.push_back(std::move(cell));
    cells_.clear();

    const std::int64_t rows =
        dataSource_
            ? std::clamp<std::int64_t>(dataSource_->numberOfRowsInTableView(*this), 0, kMostRows)
            : 0;
    // The reset takes the old cells' widgets out (Qt deletes them later); their views go
    // when the event loop comes back.
    widget->rows().reset(static_cast<int>(rows));
    widget->retire(std::move(previous));
    for (std::int64_t row = 0; row < rows; ++row) {
        const int r = static_cast<int>(row);
        widget->verticalHeader()->resizeSection(
            r, rowHeight(dataSource_->tableViewHeightOfRow(*this, row)));
        for (std::size_t column = 0; column < columns_.size(); ++column) {
            std::shared_ptr<View> cell = dataSource_->tableViewViewForTableColumnRow(
                *this, columns_[column].identifier, row);
            QWidget* cellWidget = widgetOf(cell.get());
            // A view that is already somewhere else cannot be a cell as well.
            if (!cellWidget || cellWidget->parent())
                continue;
            widget->setIndexWidget(widget->rows().index(r, static_cast<int>(column)), cellWidget);
            cells_[{row, column}] = std::move(cell);
        }
    }
    selectRowIndexesByExtendingSelection(selected, false);
}

std::int64_t QtTableView::selectedRow() const {
    TableWidget* widget = table();
    if (!widget)
        return -1;
    std::int64_t first = -1;
    for (const QModelIndex& index : widget->selectionModel()->selectedRows())
        if (first < 0 || index.row() < first)
            first = index.row();
    return first;
}

void QtTableView::selectRowIndexesByExtendingSelection(const IndexSet& rows, bool extend) {
    TableWidget* widget = table();
    if (!widget)
        return;
    QItemSelectionModel* selection = widget->selectionModel();
    if (!extend)
        selection->clearSelection();
    const int count = widget->rows().rowCount();
    for (std::int64_t row : rows)
        if (row >= 0 && row < count)
            selection->select(widget->rows().index(static_cast<int>(row), 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void QtTableView::deselectAll() {
    if (TableWidget* widget = table())
        widget->selectionModel()->clearSelection();
}

void QtTableView::setDraggingSourceOperationMaskForLocal(DragOperation mask, bool local) {
    (local ? localMask_ : externalMask_) = mask;
}

void QtTableView::registerForDraggedTypes(const std::vector<std::string>& types) {
    draggedTypes_ = types;
    if (TableWidget* widget = table()) {
        widget->setAcceptDrops(!types.empty());
        widget->viewport()->setAcceptDrops(!types.empty());
    }
}

std::shared_ptr<View> QtTableView::cellAt(const std::string& column, std::int64_t row) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].identifier == column) {
            auto it = cells_.find({row, i});
            return it == cells_.end() ? nullptr : it->second;
        }
    return nullptr;
}

} // namespace velmora::qt
