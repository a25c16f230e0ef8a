// SPDX-License-Identifier: MIT
#pragma once
// Menus with check marks that pop up at a point, and modal alerts. Main thread only.

#include "platform/view.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// One entry as the program describes it: a title and the name of the action it sends
// ("StartAtLogin:"...). An entry with an empty action is a separator.
struct MenuItemDescription {
    std::string title;
    std::string action;
};

class Menu {
  public:
    // Runs on the main thread with the action name of the item the user chose.
    using Target = std::function<void(const std::string& action)>;

    Menu() = default;
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;
    virtual ~Menu() = default;

    virtual std::int64_t numberOfItems() const = 0;
    // The action name of item INDEX; the empty string for a separator or an index out of range.
    virtual std::string actionOfItemAtIndex(std::int64_t index) const = 0;
    // Check mark of item INDEX (ControlState::On / Off); out of range is ignored (and
    // reads off).
    virtual void setStateOfItemAtIndex(std::int64_t index, std::int64_t state) = 0;
    virtual std::int64_t stateOfItemAtIndex(std::int64_t index) const = 0;
    virtual void setTarget(Target target) = 0;
    // Shows the menu with its top-left corner at LOCATION in VIEW's coordinates (bottom-left
    // origin; VIEW null: the screen's). POSITIONINGITEM, when given, is put at the location.
    // Returns when the menu is up (a desktop may also return after it closed); the choice
    // reaches the target.
    virtual void popUpMenuPositioningItem(std::optional<std::int64_t> positioningItem,
                                          Point location, View* view) = 0;
};

// A modal alert: a message and buttons, the first one the default.
class Alert {
  public:
    Alert() = default;
    Alert(const Alert&) = delete;
    Alert& operator=(const Alert&) = delete;
    virtual ~Alert() = default;

    virtual void setMessageText(const std::string& text) = 0;
    virtual void addButtonWithTitle(const std::string& title) = 0;
    // Runs until the user answers; the index of the button pressed, from 0 (-1 when the alert
    // was closed otherwise).
    virtual std::int64_t runModal() = 0;
};

} // namespace velmora
