// SPDX-License-Identifier: MIT
#pragma once
// The popover's controller: the rule editor's application list and catalogue, the rule
// table, reordering, adding and removing applications, the popover view's set-up and sizing,
// the input source hotkeys with their shortcut table, and the settings menu. It carries the
// operations' names and forwards them to the objects that do the work; it is the data source
// and delegate of both tables of the popover and the delegate of every shortcut recorder.
//
// Every controller shares the application delegate's EditorLists. Main thread only.

#include "editor/application_list_editing.h"
#include "editor/editor_lists.h"
#include "editor/popover_view.h"
#include "editor/rule_table.h"
#include "engine/settings.h"
#include "hotkeys/input_hotkeys.h"
#include "hotkeys/shortcut_table.h"
#include "menu/settings_menu.h"
#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace velmora {

class PopoverViewController final : public TableViewDataSource, public ShortcutRecorderDelegate {
  public:
    // What the controller asks of the application delegate. An empty function is skipped.
    struct Hooks {
        std::function<void(std::int64_t n)> addPopoverSizeTo;
        std::function<void()> showPopover;
        // The indicator shows or hides by "enableTipOfState" at once.
        std::function<void()> inputSourceChanged;
        // What a pressed input source hotkey does (InputHotKeys::Hooks::hotKeyAction).
        GlobalShortcut::Action hotKeyAction;
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
    std::shared_ptr<View> inputSourceCell(const std::string& column, std::int64_t row);
    void inputSelectionChanged(ComboBox& box);
    void onEnglishSymbolChanged(const Button& sender);
    void refreshInputTableView();
    // The shortcut table's cells.
    std::shared_ptr<View> tableViewForShortcut(const std::string& column, std::int64_t row);

    // The input source hotkeys. Registering needs no loaded view; the hotkeys do not refer
    // to this controller, so they keep working after it is gone.
    void registerAllHotKey();
    void shortcutRecorderDidEndRecording(ShortcutRecorder& control) override;

    // The settings menu: the settings button pops it up; its entries send these actions.
    void showPopupMenu();
    void toggleStartAtLogin();
    void hideMenuBarIcon();
    void toggleTipOfState();
    void toggleFollowWindow();
    void toggleBrowserAddressEnglish();
    void help();
    void rateInStore();
    void openHomePage();
    void openClub();
    void openVideo();
    void quit();
    // The menu's target: the action named ACTION; an unknown name does nothing.
    void performMenuAction(const std::string& action);
    // The settings menu, made with the view; nullptr before, or on a desktop without menus.
    Menu* actionSelectionMenu() const { return actionSelectionMenu_.get(); }

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
    InputHotKeys hotKeys_;
    ShortcutTable shortcutTable_;
    SettingsMenu settingsMenu_;
    std::shared_ptr<Menu> actionSelectionMenu_;
};

} // namespace velmora
