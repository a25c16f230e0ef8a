// SPDX-License-Identifier: MIT
#include "editor/application_list_editing.h"

#include "editor/stored_lists.h"

#include <algorithm>

namespace velmora {

namespace {

PlistArray asArray(const std::vector<std::string>& strings) {
    PlistArray array;
    array.reserve(strings.size());
    for (const auto& text : strings)
        array.emplace_back(text);
    return array;
}

} // namespace

void ApplicationListEditing::setUpDragging() {
    if (auto table = outlets_.velmoraTableView) {
        table->setDraggingSourceOperationMaskForLocal(DragOperations::Copy, false);
        table->setDraggingSourceOperationMaskForLocal(DragOperations::Move, true);
        table->registerForDraggedTypes({kRowDragType});
    }
}

bool ApplicationListEditing::tableViewWriteRowsWithIndexesToPasteboard(TableView&,
                                                                       const IndexSet& rows,
                                                                       Pasteboard& pasteboard) {
    pasteboard.declareTypes({kRowDragType});
    pasteboard.setDataForType(archivedDataWithRootObject(rows), kRowDragType);
    return true;
}

DragOperation ApplicationListEditing::tableViewValidateDropProposedRowProposedDropOperation(
    TableView&, const DraggingInfo&, std::int64_t, TableViewDropOperation operation) {
    return operation == TableViewDropOperation::Above ? DragOperations::Every
                                                      : DragOperations::None;
}

bool ApplicationListEditing::tableViewAcceptDropRowDropOperation(TableView& tableView,
                                                                 const DraggingInfo& info,
                                                                 std::int64_t row,
                                                                 TableViewDropOperation) {
    TableView* ruleTable = outlets_.velmoraTableView.get();
    if (!ruleTable || &tableView != ruleTable || info.draggingSource != ruleTable ||
        !lists_.allApplications)
        return true;
    auto data = info.draggingPasteboard.dataForType(kRowDragType);
    auto rows = data ? unarchiveIndexSet(*data) : std::nullopt;
    auto& apps = *lists_.allApplications;
    const auto count = static_cast<std::int64_t>(apps.size());
    // A drag whose data names no row of the list, or a drop beyond the rows, moves nothing.
    if (!rows || rows->empty() || *rows->begin() >= count || row < 0 || row > count)
        return true;
    const std::int64_t from = *rows->begin();
    const std::int64_t to = row <= from ? row : row - 1;
    std::string moved = std::move(apps[static_cast<std::size_t>(from)]);
    apps.erase(apps.begin() + from);
    apps.insert(apps.begin() + to, std::move(moved));
    settings_.setObjectForKey(PlistValue(asArray(apps)), keys::kOrderOfAppsRule);
    settings_.synchronize();
    ruleTable->reloadData();
    ruleTable->deselectAll();
    return true;
}

void ApplicationListEditing::AddApplication() {
    application_.activateIgnoringOtherApps(true);
    auto panel = views_.openPanel();
    if (!panel) {
        // No panel to ask: as if the user had cancelled it.
        checkRemoveButton();
        if (hooks_.showPopover)
            hooks_.showPopover();
        return;
    }
    panel->setCanCreateDirectories(false);
    panel->setCanChooseDirectories(true);
    panel->setCanChooseFiles(true);
    panel->setAllowsMultipleSelection(false);
    panel->setDirectoryURL(kApplicationsFolder);
    // The handler holds the panel until the user has answered.
    panel->beginWithCompletionHandler([this, panel](std::int64_t result) {
        if (result == DialogResult::Accepted)
            addChosenApplication(panel->URLs());
        if (hooks_.showPopover)
            hooks_.showPopover();
    });
    checkRemoveButton();
}

void ApplicationListEditing::addChosenApplication(const std::vector<std::string>& chosen) {
    if (chosen.empty() || !files_)
        return;
    auto chosenApplication = files_->describeApplication(chosen.front());
    if (!chosenApplication || chosenApplication->identifier.empty())
        return;
    const std::string bundle = chosenApplication->identifier;

    PlistArray hidden = storedArray(settings_, keys::kNotDisplayAppName);
    if (containsString(hidden, bundle)) {
        std::erase_if(hidden, [&](const PlistValue& entry) {
            return entry.string() && *entry.string() == bundle;
        });
        settings_.setObjectForKey(PlistValue(std::move(hidden)), keys::kNotDisplayAppName);
        settings_.synchronize();
    }
    if (!lists_.allApplications)
        return;
    auto& apps = *lists_.allApplications;
    if (std::find(apps.begin(), apps.end(), bundle) != apps.end())
        return;
    apps.push_back(bundle);
    reloadRuleTable();
}

void ApplicationListEditing::RemoveApplication() {
    auto table = outlets_.velmoraTableView;
    if (!table || !lists_.allApplications)
        return;
    auto& apps = *lists_.allApplications;
    const std::int64_t row = table->selectedRow();
    if (row < 0 || row >= static_cast<std::int64_t>(apps.size()))
        return;
    const std::string bundle = apps[static_cast<std::size_t>(row)];

    PlistDictionary rules = settings_.rules();
    rules.erase(bundle);
    settings_.setObjectForKey(PlistValue(std::move(rules)), keys::kRules);
    PlistArray hidden = storedArray(settings_, keys::kNotDisplayAppName);
    hidden.emplace_back(bundle);
    settings_.setObjectForKey(PlistValue(std::move(hidden)), keys::kNotDisplayAppName);
    settings_.synchronize();

    apps.erase(apps.begin() + row);
    table->reloadData();
    if (row < static_cast<std::int64_t>(apps.size()))
        table->selectRowIndexesByExtendingSelection(IndexSet{row}, false);
    else if (outlets_.removeButton)
        outlets_.removeButton->setEnabled(false);
}

void ApplicationListEditing::checkRemoveButton() {
    if (!outlets_.removeButton)
        return;
    auto table = outlets_.velmoraTableView;
    outlets_.removeButton->setEnabled(table && table->selectedRow() != -1);
}

void ApplicationListEditing::reloadRuleTable() {
    if (outlets_.velmoraTableView)
        outlets_.velmoraTableView->reloadData();
}

} // namespace velmora
