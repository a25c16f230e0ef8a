// SPDX-License-Identifier: MIT
#include "qt_menu.h"

#include "desktop_coordinates.h"
#include "qt_view.h"

#include "platform/controls.h"

#include <QCoreApplication>
#include <QMenu>

#include <algorithm>
#include <cmath>
#include <string>

namespace velmora::qt {

namespace {

// Coordinates far outside any desktop are taken as its edge; not-a-number as 0.
int toPixel(double value) {
    if (!std::isfinite(value))
        return value > 0 ? 1'000'000 : value < 0 ? -1'000'000 : 0;
    return static_cast<int>(std::lround(std::clamp(value, -1e6, 1e6)));
}

// The settings menu's entries come from the program in English; they are shown in the user's
// language where there is a translation (context "SettingsMenu", qt_translations.h). The list
// names them for Qt's translation tools and must follow src/menu/settings_menu_items.cpp.
[[maybe_unused]] constexpr const char* kSettingsMenuTitles[] = {
    QT_TRANSLATE_NOOP("SettingsMenu", "Start at Login"),
    QT_TRANSLATE_NOOP("SettingsMenu", "Show Input Source Indicator"),
    QT_TRANSLATE_NOOP("SettingsMenu", "Hide Icon When Closed"),
    QT_TRANSLATE_NOOP("SettingsMenu", "Indicator Follows Front Window"),
    QT_TRANSLATE_NOOP("SettingsMenu", "Latin Layout in Browser Address Bar"),
    QT_TRANSLATE_NOOP("SettingsMenu", "Using Velmora with Alfred"),
    QT_TRANSLATE_NOOP("SettingsMenu", "Rate Velmora"),
    QT_TRANSLATE_NOOP("SettingsMenu", "Velmora Online"),
    QT_TRANSLATE_NOOP("SettingsMenu", "Support"),
    QT_TRANSLATE_NOOP("SettingsMenu", "Videos"),
    QT_TRANSLATE_NOOP("SettingsMenu", "Quit Velmora"),
};

QString menuTitle(const std::string& title) {
    return QCoreApplication::translate("SettingsMenu", title.c_str());
}

} // namespace

QtMenu::QtMenu(const std::vector<MenuItemDescription>& items)
    : items_(items), states_(items.size(), ControlState::Off), menu_(std::make_unique<QMenu>()) {
    for (std::size_t index = 0; index < items_.size(); ++index) {
        const MenuItemDescription& item = items_[index];
        QAction* action =
            item.action.empty() ? menu_->addSeparator() : menu_->addAction(menuTitle(item.title));
        if (!item.action.empty())
            QObject::connect(action, &QAction::triggered, menu_.get(),
                             [this, index] { chosen(index); });
        actions_.push_back(action);
    }
}

QtMenu::~QtMenu() = default;

std::int64_t QtMenu::numberOfItems() const {
    return static_cast<std::int64_t>(items_.size());
}

QAction* QtMenu::actionAt(std::int64_t index) const {
    if (index < 0 || index >= numberOfItems())
        return nullptr;
    return actions_[static_cast<std::size_t>(index)];
}

std::string QtMenu::actionOfItemAtIndex(std::int64_t index) const {
    if (index < 0 || index >= numberOfItems())
        return {};
    return items_[static_cast<std::size_t>(index)].action;
}

void QtMenu::setStateOfItemAtIndex(std::int64_t index, std::int64_t state) {
    QAction* action = actionAt(index);
    if (!action || action->isSeparator())
        return;
    const bool on = state == ControlState::On;
    states_[static_cast<std::size_t>(index)] = on ? ControlState::On : ControlState::Off;
    action->setCheckable(true);
    action->setChecked(on);
}

std::int64_t QtMenu::stateOfItemAtIndex(std::int64_t index) const {
    if (index < 0 || index >= numberOfItems())
        return ControlState::Off;
    return states_[static_cast<std::size_t>(index)];
}

QPoint QtMenu::globalPoint(Point location, const View* view) {
    const int x = toPixel(location.x);
    const int y = toPixel(location.y);
    if (QWidget* widget = widgetOf(view))
        return widget->mapToGlobal(QPoint(x, widget->height() - y));
    return QPoint(x, desktopBottom() - y);
}

void QtMenu::popUpMenuPositioningItem(std::optional<std::int64_t> positioningItem, Point location,
                                      View* view) {
    QAction* at = positioningItem ? actionAt(*positioningItem) : nullptr;
    menu_->popup(globalPoint(location, view), at);
}

void QtMenu::chosen(std::size_t index) {
    // Qt has flipped the mark of a checkable entry; the program sets it.
    if (actions_[index]->isCheckable())
        actions_[index]->setChecked(states_[index] == ControlState::On);
    // Delivered by the application, not the menu, so that the action may drop the menu; a
    // menu dropped before sends nothing.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this, index, alive = std::weak_ptr<int>(alive_)] {
            if (alive.expired())
                return;
            if (menu_->isVisible())
                menu_->hide();
            // The action may replace the target or drop the menu: nothing of it is used after.
            Target target = target_;
            const std::string action = items_[index].action;
            if (target)
                target(action);
        },
        Qt::QueuedConnection);
}

} // namespace velmora::qt
