#pragma once
// The popover's controller: the rule editor's application list and catalogue, the rule
// table, reordering, adding and removing applications, and the popover view's set-up and
// sizing. It carries the operations' names and forwards them to the editor's objects; it is
// the data source and delegate of both tables of the popover.
//
// Every controller shares the application delegate's EditorLists. Main thread only.

#include "editor/application_list_editing.h"
#include "editor/editor_lists.h"
#include "editor/popover_view.h"
#include "editor/rule_table.h"
#include "engine/settings.h"
#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace velmora {

class PopoverViewController final : public TableViewDataSource {
  public:
    // What the controller asks of the application delegate. An empty function is skipped.
    struct Hooks {
        std::function<void(std::int64_t n)> addPopoverSizeTo;
        std::function<void()> showPopover;
    };

    // The shortcut table's template test looks at three colour bytes.
    static constexpr int kTemplateChannels = 3;

    PopoverViewController(Platform& platform, Settings& settings, EditorLists& lists, Hooks hooks);
    ~PopoverViewController() override;

    // The content view: made by the layout and set up (viewDidLoad) at the first call.
    std::shared_ptr<View> view();
    bool isViewLoaded() const { return viewLoaded_; }
    // The layout's views; all nullptr until the view has loaded.
    const PopoverLayout& outlets() const { return outlets_; }
    EditorLists& lists() { return lists_; }

    // The view's life: set-up, each showing, the expand/collapse toggle, a click.
    void viewDidLoad();
    void popoverWillShowNotification();
    void adjustPopoverSize();
    void mouseDown();

    // The application list and the catalogue.
    void initOfInput();
    void didLaunchApplicationNotification(const WorkspaceNotification& notification);

    // Both tables.
    std::int64_t numberOfRowsInTableView(TableView& tableView) override;
    double tableViewHeightOfRow(TableView& tableView, std::int64_t row) override;
    std::shared_ptr<View> tableViewViewForTableColumnRow(TableView& tableView,
                                                         const std::string& column,
                                                         std::int64_t row) override;
    // The rule table's cells and choices.
    std::shared_ptr<View> tableViewForIntput(const std::string& column, std::int64_t row);
    void inputSelectionChanged(ComboBox& box);
    void onEnglishSymbolChanged(const Button& sender);
    void refreshInputTableView();
    // The shortcut table's cells come with the hotkeys; until then its rows stay empty.
    std::shared_ptr<View> tableViewForShortcut(const std::string& column, std::int64_t row);

    // Reordering, adding and removing applications.
    bool tableViewWriteRowsWithIndexesToPasteboard(TableView& tableView, const IndexSet& rows,
                                                   Pasteboard& pasteboard) override;
    DragOperation tableViewValidateDropProposedRowProposedDropOperation(
        TableView& tableView, const DraggingInfo& info, std::int64_t row,
        TableViewDropOperation operation) override;
    bool tableViewAcceptDropRowDropOperation(TableView& tableView, const DraggingInfo& info,
                                             std::int64_t row,
                                             TableViewDropOperation operation) override;
    void AddApplication();
    void RemoveApplication();
    void checkRemoveButton();

    // The three-channel template test and redrawing, for the shortcut table's icons.
    bool canTemplate(const Image* image);
    ImagePtr scaleImageToSize(const ImagePtr& image, double width, double height);

  private:
    Platform& platform_;
    Settings& settings_;
    EditorLists& lists_;
    Hooks hooks_;
    bool viewLoaded_ = false;
    PopoverLayout outlets_;
    RuleTable ruleTable_;
    ApplicationListEditing editing_;
    PopoverView popoverView_;
};

} // namespace velmora
