// SPDX-License-Identifier: MIT
#include "app/popover_view_controller.h"

#include "menu/settings_menu_items.h"

#include "editor/application_list.h"
#include "editor/input_catalogue.h"
#include "indicator/template_test.h"

#include <map>

namespace velmora {

PopoverViewController::PopoverViewController(Platform& platform, Settings& settings,
                                             EditorLists& lists, Hooks hooks)
    : platform_(platform), settings_(settings), lists_(lists), hooks_(std::move(hooks)),
      ruleTable_(lists, settings, platform.workspace, platform.views, platform.runLoop,
                 RuleTable::Hooks{
                     .inputSelectionChanged = [this](ComboBox& box) { inputSelectionChanged(box); },
                     .refreshInputTableView = [this] { refreshInputTableView(); },
                     .nameOfUnavailableSource =
                         platform.facts.namesUnavailableRuleSources
                             ? std::function<std::string(const std::string&)>(
                                   [&sources = platform.inputSources](const std::string& id) {
                                       return nameOfInputSource(sources, id);
                                   })
                             : nullptr,
                     .isSameSource =
                         [&sources = platform.inputSources](const std::string& id,
                                                            const std::string& sourceID) {
                             return sources.isSameSource(id, sourceID);
                         },
                 }),
      editing_(lists, settings, platform.views, platform.application,
               platform.applicationDescriptions, outlets_,
               ApplicationListEditing::Hooks{
                   .showPopover =
                       [this] {
                           if (hooks_.showPopover)
                               hooks_.showPopover();
                       },
               }),
      popoverView_(lists, platform.workspace, platform.views, platform.application, outlets_,
                   PopoverView::Hooks{
                       .didLaunchApplicationNotification =
                           [this](const WorkspaceNotification& notification) {
                               didLaunchApplicationNotification(notification);
                           },
                       .popoverWillShowNotification = [this] { popoverWillShowNotification(); },
                       .initOfInput = [this] { initOfInput(); },
                       .setUpDragging = [this] { editing_.setUpDragging(); },
                       .addPopoverSizeTo =
                           [this](std::int64_t n) {
                               if (hooks_.addPopoverSizeTo)
                                   hooks_.addPopoverSizeTo(n);
                           },
                   },
                   platform.facts.versionSeparator),
      hotKeys_(settings, lists, platform.hotKeyCenter, platform.application,
               InputHotKeys::Hooks{
                   .hotKeyAction = hooks_.hotKeyAction,
                   .reloadShortcutTable =
                       [this] {
                           if (outlets_.shortcutTableView)
                               outlets_.shortcutTableView->reloadData();
                       },
               }),
      shortcutTable_(lists, settings, platform.views, this,
                     ShortcutTable::Hooks{
                         .scaleImage =
                             [this](const ImagePtr& image, double width, double height) {
                                 return scaleImageToSize(image, width, height);
                             },
                         .canTemplate = [this](const Image* image) { return canTemplate(image); },
                     }),
      settingsMenu_(settings, platform.views, platform.application, platform.workspace,
                    platform.loginItems,
                    SettingsMenu::Hooks{
                        .showPopover =
                            [this] {
                                if (hooks_.showPopover)
                                    hooks_.showPopover();
                            },
                        .checkRemoveButton = [this] { checkRemoveButton(); },
                        .indicatorSettingChanged =
                            [this] {
                                if (hooks_.inputSourceChanged)
                                    hooks_.inputSourceChanged();
                            },
                    }) {}

PopoverViewController::~PopoverViewController() {
    // The tables must not call back into a controller that is gone.
    for (const auto& table : {outlets_.velmoraTableView, outlets_.shortcutTableView})
        if (table)
            table->setDataSource(nullptr);
    // A choice the desktop delivers late must not reach it either.
    if (actionSelectionMenu_)
        actionSelectionMenu_->setTarget({});
}

std::shared_ptr<View> PopoverViewController::view() {
    if (!viewLoaded_) {
        viewLoaded_ = true;
        // The layout binds its tables to this controller and its buttons to their actions.
        outlets_ = platform_.views.makePopoverLayout();
        for (const auto& table : {outlets_.velmoraTableView, outlets_.shortcutTableView})
            if (table)
                table->setDataSource(this);
        if (outlets_.addButton)
            outlets_.addButton->setAction([this] { AddApplication(); });
        if (outlets_.removeButton)
            outlets_.removeButton->setAction([this] { RemoveApplication(); });
        if (outlets_.adjustSizeButton)
            outlets_.adjustSizeButton->setAction([this] { adjustPopoverSize(); });
        if (outlets_.actionSelectionButton)
            outlets_.actionSelectionButton->setAction([this] { showPopupMenu(); });
        actionSelectionMenu_ = platform_.views.makeMenu(settingsMenuItems(platform_.facts));
        if (actionSelectionMenu_)
            actionSelectionMenu_->setTarget(
                [this](const std::string& action) { performMenuAction(action); });
        viewDidLoad();
    }
    return outlets_.view;
}

void PopoverViewController::viewDidLoad() {
    popoverView_.viewDidLoad();
}

void PopoverViewController::popoverWillShowNotification() {
    popoverView_.popoverWillShowNotification();
}

void PopoverViewController::adjustPopoverSize() {
    popoverView_.adjustPopoverSize();
}

void PopoverViewController::mouseDown() {
    checkRemoveButton();
}

void PopoverViewController::initOfInput() {
    // Before the view has loaded there is no application list to rebuild.
    if (lists_.allApplications)
        rebuildApplicationList(*lists_.allApplications, settings_, platform_.workspace);
    rebuildInputCatalogue(lists_, platform_.inputSources, platform_.images);
}

void PopoverViewController::didLaunchApplicationNotification(
    const WorkspaceNotification& notification) {
    if (lists_.allApplications &&
        appendLaunchedApplication(*lists_.allApplications, settings_, notification.application))
        refreshInputTableView();
}

std::int64_t PopoverViewController::numberOfRowsInTableView(TableView& tableView) {
    return popoverView_.numberOfRowsInTableView(tableView);
}

double PopoverViewController::tableViewHeightOfRow(TableView&, std::int64_t) {
    return PopoverView::kRowHeight;
}

std::shared_ptr<View>
PopoverViewController::tableViewViewForTableColumnRow(TableView& tableView,
                                                      const std::string& column, std::int64_t row) {
    if (popoverView_.isRuleTable(tableView))
        return inputSourceCell(column, row);
    if (popoverView_.isShortcutTable(tableView))
        return tableViewForShortcut(column, row);
    return nullptr;
}

std::shared_ptr<View> PopoverViewController::inputSourceCell(const std::string& column,
                                                             std::int64_t row) {
    return ruleTable_.inputSourceCell(column, row);
}

void PopoverViewController::inputSelectionChanged(ComboBox& box) {
    ruleTable_.inputSelectionChanged(box);
}

void PopoverViewController::onEnglishSymbolChanged(const Button& sender) {
    ruleTable_.onEnglishSymbolChanged(sender.tag(), sender.state(),
                                      outlets_.velmoraTableView.get());
}

void PopoverViewController::refreshInputTableView() {
    if (outlets_.velmoraTableView)
        outlets_.velmoraTableView->reloadData();
}

std::shared_ptr<View> PopoverViewController::tableViewForShortcut(const std::string& column,
                                                                  std::int64_t row) {
    return shortcutTable_.tableViewForShortcut(column, row);
}

void PopoverViewController::registerAllHotKey() {
    hotKeys_.registerAllHotKey();
}

void PopoverViewController::shortcutRecorderDidEndRecording(ShortcutRecorder& control) {
    // Every recorder of the program carries its row.
    auto* recorder = dynamic_cast<TaggedShortcutRecorder*>(&control);
    if (!recorder)
        return;
    hotKeys_.recordingEnded(recorder->shortcutTag(), recorder->objectValue());
}

void PopoverViewController::showPopupMenu() {
    settingsMenu_.showPopupMenu(actionSelectionMenu_.get(), outlets_.actionSelectionButton.get(),
                                outlets_.view.get());
}

void PopoverViewController::toggleStartAtLogin() {
    settingsMenu_.toggleStartAtLogin();
}

void PopoverViewController::hideMenuBarIcon() {
    settingsMenu_.hideMenuBarIcon();
}

void PopoverViewController::toggleTipOfState() {
    settingsMenu_.toggleSetting(keys::kEnableTipOfState);
}

void PopoverViewController::toggleFollowWindow() {
    settingsMenu_.toggleSetting(keys::kFollowWindow);
}

void PopoverViewController::toggleBrowserAddressEnglish() {
    settingsMenu_.toggleSetting(keys::kEnableBrowserAddressEnglish);
}

void PopoverViewController::help() {
    settingsMenu_.help();
}

void PopoverViewController::rateInStore() {
    settingsMenu_.rateInStore();
}

void PopoverViewController::openHomePage() {
    settingsMenu_.openHomePage();
}

void PopoverViewController::openClub() {
    settingsMenu_.openClub();
}

void PopoverViewController::openVideo() {
    settingsMenu_.openVideo();
}

void PopoverViewController::quit() {
    settingsMenu_.quit();
}

void PopoverViewController::performMenuAction(const std::string& action) {
    using Action = void (PopoverViewController::*)();
    static const std::map<std::string, Action, std::less<>> actions{
        {menuAction::kStartAtLogin, &PopoverViewController::toggleStartAtLogin},
        {menuAction::kHideMenuBarIcon, &PopoverViewController::hideMenuBarIcon},
        {menuAction::kToggleTipOfState, &PopoverViewController::toggleTipOfState},
        {menuAction::kToggleFollowWindow, &PopoverViewController::toggleFollowWindow},
        {menuAction::kToggleBrowserAddressEnglish,
         &PopoverViewController::toggleBrowserAddressEnglish},
        {menuAction::kHelp, &PopoverViewController::help},
        {menuAction::kRateInMAS, &PopoverViewController::rateInStore},
        {menuAction::kGotoVelmora, &PopoverViewController::openHomePage},
        {menuAction::kGoToClub, &PopoverViewController::openClub},
        {menuAction::kVideo, &PopoverViewController::openVideo},
        {menuAction::kQuit, &PopoverViewController::quit},
    };
    if (auto it = actions.find(action); it != actions.end())
        (this->*(it->second))();
}

bool PopoverViewController::tableViewWriteRowsWithIndexesToPasteboard(TableView& tableView,
                                                                      const IndexSet& rows,
                                                                      Pasteboard& pasteboard) {
    return editing_.tableViewWriteRowsWithIndexesToPasteboard(tableView, rows, pasteboard);
}

DragOperation PopoverViewController::tableViewValidateDropProposedRowProposedDropOperation(
    TableView& tableView, const DraggingInfo& info, std::int64_t row,
    TableViewDropOperation operation) {
    return editing_.tableViewValidateDropProposedRowProposedDropOperation(tableView, info, row,
                                                                          operation);
}

bool PopoverViewController::tableViewAcceptDropRowDropOperation(TableView& tableView,
                                                                const DraggingInfo& info,
                                                                std::int64_t row,
                                                                TableViewDropOperation operation) {
    return editing_.tableViewAcceptDropRowDropOperation(tableView, info, row, operation);
}

void PopoverViewController::AddApplication() {
    editing_.AddApplication();
}

void PopoverViewController::RemoveApplication() {
    editing_.RemoveApplication();
}

void PopoverViewController::checkRemoveButton() {
    editing_.checkRemoveButton();
}

bool PopoverViewController::canTemplate(const Image* image) {
    return velmora::canTemplate(platform_.images, image, kTemplateChannels);
}

ImagePtr PopoverViewController::scaleImageToSize(const ImagePtr& image, double width,
                                                 double height) {
    return velmora::scaleImageToSize(platform_.images, image, width, height);
}

} // namespace velmora
