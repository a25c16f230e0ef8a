// SPDX-License-Identifier: MIT
#include "qt_views.h"

#include "qt_alert.h"
#include "qt_application_chooser.h"
#include "qt_box.h"
#include "qt_controls.h"
#include "qt_image_views.h"
#include "qt_indicator_views.h"
#include "qt_menu.h"
#include "qt_open_panel.h"
#include "qt_popover.h"
#include "qt_popover_layout.h"
#include "qt_recorder_control.h"
#include "qt_status_item.h"

namespace velmora::qt {

QtViews::QtViews(std::function<void(const std::string&)> log) : log_(std::move(log)) {}

QtViews::~QtViews() = default;

IndicatorViews QtViews::makeIndicatorViews() {
    return makeQtIndicatorViews();
}

std::shared_ptr<StatusItem> QtViews::makeStatusItem(double) {
    auto item = std::make_shared<QtStatusItem>(QtStatusItem::Hooks{
        .popoverJustClosed =
            [this] {
                auto popover = popover_.lock();
                return popover && popover->closedWithin(kReopenGuardMilliseconds);
            },
        .log = log_,
        .trayChangesAnnounced = trayChangesAnnounced_,
    });
    item->setVisible(true);
    statusItem_ = item;
    return item;
}

std::shared_ptr<Popover> QtViews::makePopover() {
    auto popover = std::make_shared<QtPopover>(QtPopover::Hooks{
        .post = [this](const std::string& name) { post(name); },
        .anchoredToTray = [this] { return hasSystemTray(); },
    });
    popover->setMouseDownObserver(mouseDown_);
    popover_ = popover;
    return popover;
}

PopoverLayout QtViews::makePopoverLayout() {
    return makeQtPopoverLayout();
}

std::shared_ptr<ImageView> QtViews::makeImageView() {
    return std::make_shared<QtImageView>();
}

std::shared_ptr<TextField> QtViews::makeTextField() {
    return std::make_shared<QtTextField>();
}

std::shared_ptr<ComboBox> QtViews::makeComboBox() {
    return std::make_shared<QtComboBox>();
}

std::shared_ptr<View> QtViews::makeView() {
    return std::make_shared<QtPlainView>();
}

std::shared_ptr<Box> QtViews::makeBox() {
    return std::make_shared<QtBox>();
}

std::shared_ptr<TaggedShortcutRecorder> QtViews::makeShortcutRecorder() {
    return std::make_shared<QtShortcutRecorder>(keys_);
}

std::shared_ptr<Menu> QtViews::makeMenu(const std::vector<MenuItemDescription>& items) {
    return std::make_shared<QtMenu>(items);
}

std::shared_ptr<Alert> QtViews::makeAlert() {
    return std::make_shared<QtAlert>([this] { return popover_.lock().get(); });
}

std::shared_ptr<OpenPanel> QtViews::openPanel() {
    auto closePopover = [this] {
        if (auto popover = popover_.lock())
            popover->performClose();
    };
    if (choices_)
        return std::make_shared<QtApplicationChooserPanel>(choices_, choiceIcons_, closePopover);
    return std::make_shared<QtOpenPanel>(closePopover);
}

void QtViews::setApplicationChoices(std::function<std::vector<ApplicationChoice>()> choices,
                                    ApplicationChooserModel::IconLoader icons) {
    choices_ = std::move(choices);
    choiceIcons_ = std::move(icons);
}

void QtViews::addPopoverObserver(const std::string& name, std::function<void()> observer) {
    if (observer)
        observers_[name].push_back(std::move(observer));
}

void QtViews::systemTrayChanged(std::optional<bool> present) {
    if (auto item = statusItem_.lock())
        item->trayChanged(present);
}

bool QtViews::hasSystemTray() const {
    auto item = statusItem_.lock();
    return item && item->trayAvailable();
}

void QtViews::setPopoverMouseDownObserver(std::function<void()> observer) {
    mouseDown_ = std::move(observer);
    if (auto popover = popover_.lock())
        popover->setMouseDownObserver(mouseDown_);
}

void QtViews::post(const std::string& name) {
    auto it = observers_.find(name);
    if (it == observers_.end())
        return;
    auto observers = it->second; // an observer may subscribe more
    for (auto& observer : observers)
        observer();
}

} // namespace velmora::qt
