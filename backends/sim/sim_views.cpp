// SPDX-License-Identifier: MIT
#include "sim_views.h"

#include "sim_indicator_views.h"

#include <algorithm>

namespace velmora::sim {

void SimComboBox::addItemsWithObjectValues(const std::vector<std::string>& items) {
    items_.insert(items_.end(), items.begin(), items.end());
}

void SimComboBox::setStringValue(const std::string& text) {
    text_ = text;
    selected_.reset();
}

std::optional<std::string> SimComboBox::objectValueOfSelectedItem() const {
    if (!selected_ || *selected_ >= items_.size())
        return std::nullopt;
    return items_[*selected_];
}

void SimComboBox::setSelectionDidChangeObserver(Observer observer) {
    observer_ = std::move(observer);
}

bool SimComboBox::userSelects(const std::string& item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end())
        return false;
    selected_ = static_cast<std::size_t>(it - items_.begin());
    text_ = item;
    if (observer_) {
        auto observer = observer_; // the observer may replace itself
        observer(*this);
    }
    return true;
}

void SimButton::performClick() {
    if (!enabled_ || !action_)
        return;
    auto action = action_; // the action may replace itself
    action();
}

void SimPasteboard::declareTypes(const std::vector<std::string>& types) {
    entries_.clear();
    for (const auto& type : types)
        entries_[type] = std::nullopt;
}

bool SimPasteboard::setDataForType(const Data& data, const std::string& type) {
    auto it = entries_.find(type);
    if (it == entries_.end())
        return false;
    it->second = data;
    return true;
}

std::optional<Data> SimPasteboard::dataForType(const std::string& type) const {
    auto it = entries_.find(type);
    return it == entries_.end() ? std::nullopt : it->second;
}

void SimTableView::setDataSource(TableViewDataSource* dataSource) {
    dataSource_ = dataSource;
    cells_.clear();
}

void SimTableView::reloadData() {
    trace_.emit("reload " + name_);
    cells_.clear();
    // Rows that are gone leave the selection.
    const std::int64_t rows = numberOfRows();
    std::erase_if(selection_, [rows](std::int64_t row) { return row >= rows; });
}

std::int64_t SimTableView::selectedRow() const {
    return selection_.empty() ? -1 : *selection_.begin();
}

void SimTableView::selectRowIndexesByExtendingSelection(const IndexSet& rows, bool extend) {
    if (!extend)
        selection_.clear();
    const std::int64_t count = numberOfRows();
    for (std::int64_t row : rows)
        if (row >= 0 && row < count)
            selection_.insert(row);
}

void SimTableView::setDraggingSourceOperationMaskForLocal(DragOperation mask, bool local) {
    (local ? localMask : externalMask) = mask;
}

void SimTableView::registerForDraggedTypes(const std::vector<std::string>& types) {
    draggedTypes = types;
}

std::int64_t SimTableView::numberOfRows() {
    return dataSource_ ? std::max<std::int64_t>(0, dataSource_->numberOfRowsInTableView(*this)) : 0;
}

std::shared_ptr<View> SimTableView::viewAtColumnRow(const std::string& column, std::int64_t row) {
    if (!dataSource_ || row < 0 || row >= numberOfRows() ||
        std::find(columns_.begin(), columns_.end(), column) == columns_.end())
        return nullptr;
    auto key = std::make_pair(column, row);
    auto it = cells_.find(key);
    if (it != cells_.end())
        return it->second;
    auto view = dataSource_->tableViewViewForTableColumnRow(*this, column, row);
    cells_[key] = view;
    return view;
}

void SimTableView::dragRow(std::int64_t row, std::int64_t target,
                           TableViewDropOperation operation) {
    if (!dataSource_ || row < 0 || row >= numberOfRows())
        return;
    SimPasteboard pasteboard;
    if (!dataSource_->tableViewWriteRowsWithIndexesToPasteboard(*this, IndexSet{row}, pasteboard))
        return;
    drop(this, pasteboard, target, operation);
}

void SimTableView::dropForeign(const std::string& text, std::int64_t target,
                               TableViewDropOperation operation) {
    SimPasteboard pasteboard;
    pasteboard.declareTypes({kRowDragType});
    pasteboard.setDataForType(Data(text.begin(), text.end()), kRowDragType);
    drop(nullptr, pasteboard, target, operation);
}

void SimTableView::drop(const TableView* source, Pasteboard& pasteboard, std::int64_t target,
                        TableViewDropOperation operation) {
    // The table proposes only rows it has, and the row below the last.
    if (!dataSource_ || target < 0 || target > numberOfRows())
        return;
    DraggingInfo info{source, pasteboard};
    if (dataSource_->tableViewValidateDropProposedRowProposedDropOperation(
            *this, info, target, operation) == DragOperations::None)
        return;
    dataSource_->tableViewAcceptDropRowDropOperation(*this, info, target, operation);
}

SimStatusItem::SimStatusItem(Trace& trace) : trace_(trace) {
    button_->setFrame(Rect{{0, 0}, {24, 22}});
}

void SimStatusItem::setVisible(bool visible) {
    visible_ = visible;
    trace_.emit(std::string("status-item ") + (visible ? "visible" : "hidden"));
}

void SimStatusItem::click() {
    if (visible_)
        button_->performClick();
}

void SimPopover::setContentView(std::shared_ptr<View> view) {
    content_ = std::move(view);
    if (content_)
        setContentSize(content_->frame().size);
}

void SimPopover::setContentSize(Size size) {
    size_ = Size{std::max(0.0, size.width), std::max(0.0, size.height)};
}

void SimPopover::showRelativeToRectOfViewPreferredEdge(Rect, View*, RectEdge) {
    if (!shown_ && post_)
        post_(kPopoverWillShowNotification);
    shown_ = true;
    trace_.emit("popover show " + formatNumber(size_.height));
}

void SimPopover::performClose() {
    if (!shown_)
        return;
    shown_ = false;
    trace_.emit("popover close");
    if (post_)
        post_(kPopoverDidCloseNotification);
}

void SimPopover::dismiss() {
    if (behavior_ == PopoverBehavior::Transient)
        performClose();
}

void SimOpenPanel::beginWithCompletionHandler(CompletionHandler handler) {
    handler_ = std::move(handler);
    urls_.clear();
    trace_.emit("open-panel dir=" + directory);
    if (begun_)
        begun_(*this);
}

bool SimOpenPanel::answer(const std::optional<std::string>& path) {
    if (!handler_)
        return false;
    CompletionHandler handler = std::move(handler_);
    handler_ = nullptr;
    urls_.clear();
    if (path)
        urls_.push_back(*path);
    handler(path ? DialogResult::Accepted : DialogResult::Rejected);
    return true;
}

} // namespace velmora::sim

namespace velmora::sim {

void SimShortcutRecorder::setAllowedModifierFlags(std::uint64_t allowed, std::uint64_t required,
                                                  bool allowsEmpty) {
    allowedModifierFlags = allowed;
    requiredModifierFlags = required;
    allowsEmptyModifierFlags = allowsEmpty;
}

void SimShortcutRecorder::userRecords(std::int64_t keyCode, std::uint64_t modifierFlags) {
    const std::uint64_t kept = modifierFlags & allowedModifierFlags;
    const bool accepted = (kept & requiredModifierFlags) == requiredModifierFlags &&
                          (kept != 0 || allowsEmptyModifierFlags);
    if (accepted)
        value_ = PlistValue(PlistDictionary{
            {kShortcutKeyCode, PlistValue(keyCode)},
            {kShortcutModifierFlags, PlistValue(static_cast<std::int64_t>(kept))},
        });
    endRecording();
}

void SimShortcutRecorder::userClears() {
    value_.reset();
    endRecording();
}

void SimShortcutRecorder::userEndsRecording() {
    endRecording();
}

void SimShortcutRecorder::endRecording() {
    if (delegate_)
        delegate_->shortcutRecorderDidEndRecording(*this);
}

SimMenu::SimMenu(Trace& trace, std::vector<MenuItemDescription> items)
    : trace_(trace), items_(std::move(items)), states_(items_.size(), ControlState::Off) {}

std::int64_t SimMenu::numberOfItems() const {
    return static_cast<std::int64_t>(items_.size());
}

std::string SimMenu::actionOfItemAtIndex(std::int64_t index) const {
    if (index < 0 || index >= numberOfItems())
        return {};
    return items_[static_cast<std::size_t>(index)].action;
}

void SimMenu::setStateOfItemAtIndex(std::int64_t index, std::int64_t state) {
    if (index >= 0 && index < numberOfItems())
        states_[static_cast<std::size_t>(index)] = state;
}

std::int64_t SimMenu::stateOfItemAtIndex(std::int64_t index) const {
    if (index < 0 || index >= numberOfItems())
        return ControlState::Off;
    return states_[static_cast<std::size_t>(index)];
}

void SimMenu::popUpMenuPositioningItem(std::optional<std::int64_t>, Point location, View*) {
    auto mark = [this](std::int64_t index) {
        return stateOfItemAtIndex(index) == ControlState::On ? "on" : "off";
    };
    trace_.emit("menu popup " + formatNumber(location.x) + "," + formatNumber(location.y) +
                " item0=" + mark(0) + " item2=" + mark(2));
}

bool SimMenu::choose(const std::string& action) {
    if (action.empty())
        return false;
    for (const auto& item : items_) {
        if (item.action != action)
            continue;
        if (target_) {
            auto target = target_; // the action may replace the target
            target(action);
        }
        return true;
    }
    return false;
}

std::int64_t SimAlert::runModal() {
    std::string buttons;
    for (const auto& title : buttons_)
        buttons += (buttons.empty() ? "" : ",") + title;
    trace_.emit("alert " + quoted(text_) + " buttons=" + quoted(buttons));
    return buttons_.empty() ? -1 : 0;
}

} // namespace velmora::sim
