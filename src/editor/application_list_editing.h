// SPDX-License-Identifier: MIT
#pragma once
// The user's changes to the application list: dragging a row to another place (which becomes
// the stored order), adding an application through the open panel, removing the selected
// row (which deletes its rule and keeps it out of later listings).
//
// Main thread only.

#include "editor/editor_lists.h"
#include "engine/settings.h"
#include "platform/application.h"
#include "platform/application_descriptions.h"
#include "platform/views.h"

#include <functional>

namespace velmora {

class ApplicationListEditing {
  public:
    // What editing asks of the rest of the agent. An empty function is skipped.
    struct Hooks {
        std::function<void()> showPopover; // the popover again, after the open panel
    };

    static constexpr const char* kApplicationsFolder = "/Applications";

    // OUTLETS are the popover controller's; they stay empty until its view has loaded.
    // FILES may be nullptr: then no chosen item names an application.
    ApplicationListEditing(EditorLists& lists, Settings& settings, ViewFactory& views,
                           Application& application, ApplicationDescriptions* files,
                           const PopoverLayout& outlets, Hooks hooks)
        : lists_(lists), settings_(settings), views_(views), application_(application),
          files_(files), outlets_(outlets), hooks_(std::move(hooks)) {}

    // The rule table's drag set-up: copies to other programs, moves within this one, drops
    // of kRowDragType.
    void setUpDragging();
    // Puts the archived ROWS on PASTEBOARD.
    bool tableViewWriteRowsWithIndexesToPasteboard(TableView& tableView, const IndexSet& rows,
                                                   Pasteboard& pasteboard);
    // Every operation for a drop above a row, none for a drop on one.
    DragOperation tableViewValidateDropProposedRowProposedDropOperation(
        TableView& tableView, const DraggingInfo& info, std::int64_t row,
        TableViewDropOperation operation);
    // Moves the dragged row above ROW when the drag came from the rule table to the rule
    // table and its data names a row; stores the new order. Always true.
    bool tableViewAcceptDropRowDropOperation(TableView& tableView, const DraggingInfo& info,
                                             std::int64_t row, TableViewDropOperation operation);

    void AddApplication();
    void RemoveApplication();
    void checkRemoveButton();

  private:
    // The open panel's answer.
    void addChosenApplication(const std::vector<std::string>& chosen);
    void reloadRuleTable();

    EditorLists& lists_;
    Settings& settings_;
    ViewFactory& views_;
    Application& application_;
    ApplicationDescriptions* files_;
    const PopoverLayout& outlets_;
    Hooks hooks_;
};

} // namespace velmora
