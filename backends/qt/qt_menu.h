// SPDX-License-Identifier: MIT
#pragma once
// The settings menu as a Qt menu. Items with an action are entries, those without are
// separators. An entry whose check mark the program sets becomes checkable, and only the
// program changes it: choosing the entry leaves the mark as it was. A choice reaches the target
// on the main thread once the menu has closed and the event loop is back, so that the action
// may show a dialog, close the popover or drop this menu.

#include "platform/menu.h"

#include <QPoint>

#include <memory>
#include <vector>

class QAction;
class QMenu;

namespace velmora::qt {

class QtMenu final : public Menu {
  public:
    explicit QtMenu(const std::vector<MenuItemDescription>& items);
    ~QtMenu() override;

    std::int64_t numberOfItems() const override;
    std::string actionOfItemAtIndex(std::int64_t index) const override;
    void setStateOfItemAtIndex(std::int64_t index, std::int64_t state) override;
    std::int64_t stateOfItemAtIndex(std::int64_t index) const override;
    void setTarget(Target target) override { target_ = std::move(target); }
    // Returns once the menu is up.
    void popUpMenuPositioningItem(std::optional<std::int64_t> positioningItem, Point location,
                                  View* view) override;

    QMenu* menu() const { return menu_.get(); }
    QAction* actionAt(std::int64_t index) const;
    // LOCATION in VIEW's coordinates (bottom-left origin; no view: the desktop's) as a global
    // point of Qt's.
    static QPoint globalPoint(Point location, const View* view);

  private:
    void chosen(std::size_t index);

    std::vector<MenuItemDescription> items_;
    std::vector<std::int64_t> states_;
    std::vector<QAction*> actions_;
    std::unique_ptr<QMenu> menu_;
    Target target_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0); // queued choices check it
};

} // namespace velmora::qt
