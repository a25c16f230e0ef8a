#pragma once
// The controls of the popover: text fields, choice boxes and buttons. All on the main thread.

#include "platform/view.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

enum class Color { clearColor };

// A label or an entry field.
class TextField : public View {
  public:
    virtual void setStringValue(const std::string& text) = 0;
    virtual std::string stringValue() const = 0;
    virtual void setBezeled(bool bezeled) = 0;
    virtual void setEditable(bool editable) = 0;
    virtual void setDrawsBackground(bool draws) = 0;
    virtual void setBackgroundColor(Color color) = 0;
};

// A choice box (combo box): a text and a list of items to choose it from.
class ComboBox : public View {
  public:
    using Observer = std::function<void(ComboBox& box)>;

    // Appends ITEMS to the list, in order (duplicates allowed).
    virtual void addItemsWithObjectValues(const std::vector<std::string>& items) = 0;
    virtual std::vector<std::string> objectValues() const = 0;
    // An integer the program attaches to the box; 0 until set.
    virtual void setTag(std::int64_t tag) = 0;
    virtual std::int64_t tag() const = 0;
    // A box that is not editable only takes the texts of its items.
    virtual void setEditable(bool editable) = 0;
    // The text shown; setting it selects no item.
    virtual void setStringValue(const std::string& text) = 0;
    virtual std::string stringValue() const = 0;
    // The item the user selected last; none while no item is selected.
    virtual std::optional<std::string> objectValueOfSelectedItem() const = 0;
    // OBSERVER runs on the main thread each time the user selects an item of this box (its
    // selection-did-change notification), after the box shows the item. One observer per
    // box: a new one replaces the old; an empty function removes it.
    virtual void setSelectionDidChangeObserver(Observer observer) = 0;
};

// A push button or a two-state button (check box).
class Button : public View {
  public:
    using Action = std::function<void()>;

    // A disabled button ignores clicks.
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    // The named image of the layout's resources ("open", "close"...); the empty name shows
    // none. An unknown name shows none and is still answered by imageName.
    virtual void setImageNamed(const std::string& name) = 0;
    virtual std::string imageName() const = 0;
    // What a click does (on the main thread); an empty function does nothing.
    virtual void setAction(Action action) = 0;
    // An integer the program attaches to the button; 0 until set.
    virtual void setTag(std::int64_t tag) = 0;
    virtual std::int64_t tag() const = 0;
    // For a two-state button: 1 on, 0 off. A push button answers 0.
    virtual void setState(std::int64_t state) = 0;
    virtual std::int64_t state() const = 0;
};

inline constexpr std::int64_t NSControlStateValueOn = 1;
inline constexpr std::int64_t NSControlStateValueOff = 0;

} // namespace velmora
