// SPDX-License-Identifier: MIT
#include "sim_view_factory.h"

#include "sim_indicator_views.h"

namespace velmora::sim {

void SimResetWindow::orderOut() {
    if (front_)
        trace_.emit("reset");
    front_ = false;
}

std::shared_ptr<Window> SimViews::makeResetWindow() {
    return std::make_shared<SimResetWindow>(trace_);
}

IndicatorViews SimViews::makeIndicatorViews() {
    return IndicatorViews{std::make_shared<SimIndicatorWindow>(trace_),
                          std::make_shared<SimIconView>(trace_),
                          std::make_shared<SimIconBox>(trace_)};
}

std::shared_ptr<StatusItem> SimViews::makeStatusItem(double) {
    statusItem_ = std::make_shared<SimStatusItem>(trace_);
    trace_.emit("status-item create");
    return statusItem_;
}

std::shared_ptr<Popover> SimViews::makePopover() {
    popover_ =
        std::make_shared<SimPopover>(trace_, [this](const std::string& name) { post(name); });
    return popover_;
}

PopoverLayout SimViews::makePopoverLayout() {
    PopoverLayout layout;
    auto view = std::make_shared<SimPlainView>();
    view->setFrame(Rect{{0, 0}, kSimPopoverLayoutSize});
    layout.view = view;
    layout.velmoraTableView = std::make_shared<SimTableView>(
        trace_, "rules",
        std::vector<std::string>{kColumnIcon, kColumnApplicationName, kColumnSelectInput});
    layout.shortcutTableView = std::make_shared<SimTableView>(
        trace_, "shortcuts", std::vector<std::string>{"icon", "input", "shortcut"});
    layout.actionSelectionButton = std::make_shared<SimButton>();
    layout.addButton = std::make_shared<SimButton>();
    layout.removeButton = std::make_shared<SimButton>();
    layout.adjustSizeButton = std::make_shared<SimButton>();
    layout.adjustSizeButton->setImageNamed("close");
    // The shortcut section and the box below it start where a toggle with no catalogue entry
    // would put them.
    layout.shortcutView = std::make_shared<SimPlainView>();
    layout.shortcutView->setFrame(Rect{{0, -72}, {288, 27}});
    layout.allAppsBox = std::make_shared<SimPlainBox>();
    layout.allAppsBox->setFrame(Rect{{0, -247}, {288, 175}});
    layout.versionCode = std::make_shared<SimTextField>();
    layout.shortcutView->addSubview(layout.shortcutTableView);
    for (std::shared_ptr<View> child : std::initializer_list<std::shared_ptr<View>>{
             layout.velmoraTableView, layout.actionSelectionButton, layout.addButton,
             layout.removeButton, layout.adjustSizeButton, layout.shortcutView, layout.allAppsBox,
             layout.versionCode})
        view->addSubview(child);
    return layout;
}

std::shared_ptr<ImageView> SimViews::makeImageView() {
    return std::make_shared<SimImageView>();
}

std::shared_ptr<TextField> SimViews::makeTextField() {
    return std::make_shared<SimTextField>();
}

std::shared_ptr<ComboBox> SimViews::makeComboBox() {
    return std::make_shared<SimComboBox>();
}

std::shared_ptr<View> SimViews::makeView() {
    return std::make_shared<SimPlainView>();
}

std::shared_ptr<Box> SimViews::makeBox() {
    return std::make_shared<SimPlainBox>();
}

std::shared_ptr<TaggedShortcutRecorder> SimViews::makeShortcutRecorder() {
    return std::make_shared<SimShortcutRecorder>();
}

std::shared_ptr<Menu> SimViews::makeMenu(const std::vector<MenuItemDescription>& items) {
    menu_ = std::make_shared<SimMenu>(trace_, items);
    return menu_;
}

std::shared_ptr<Alert> SimViews::makeAlert() {
    return std::make_shared<SimAlert>(trace_);
}

std::shared_ptr<OpenPanel> SimViews::openPanel() {
    return std::make_shared<SimOpenPanel>(trace_, [this](SimOpenPanel& panel) {
        pendingPanel_ = panel.weak_from_this();
        // The panel takes the keyboard: a transient popover closes.
        if (popover_)
            popover_->dismiss();
    });
}

void SimViews::addPopoverObserver(const std::string& name, std::function<void()> observer) {
    if (observer)
        popoverObservers_[name].push_back(std::move(observer));
}

void SimViews::post(const std::string& name) {
    auto it = popoverObservers_.find(name);
    if (it == popoverObservers_.end())
        return;
    auto observers = it->second; // an observer may subscribe more
    for (auto& observer : observers)
        observer();
}

} // namespace velmora::sim
