// SPDX-License-Identifier: MIT
#pragma once
// The controls of the popover: text fields, choice boxes and buttons. All on the main thread.

#include "platform/property_list.h"
#include "platform/view.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

enum class Color { clearColor, disabledControlTextColor, textBackgroundColor };

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

// Modifier masks of recorded shortcuts and of the flags of global events.
struct ModifierFlag {
    enum : std::uint64_t { Shift = 0x20000, Control = 0x40000, Alt = 0x80000, Super = 0x100000 };
};

// Keys of a recorded shortcut's dictionary.
inline constexpr const char* kShortcutKeyCode = "keyCode";
inline constexpr const char* kShortcutModifierFlags = "modifierFlags";

class ShortcutRecorder;

// Told when the user ends a recording: a shortcut recorded, the control cleared, or the
// recording given up with the old value kept.
class ShortcutRecorderDelegate {
  public:
    virtual ~ShortcutRecorderDelegate() = default;
    virtual void shortcutRecorderDidEndRecording(ShortcutRecorder& control) = 0;
};

// A control in which the user records a key combination.
class ShortcutRecorder : public View {
  public:
    // The shortcut shown: a dictionary with "keyCode" and "modifierFlags"; none when the
    // control is empty (cleared). Setting it does not tell the delegate.
    virtual void setObjectValue(std::optional<PlistValue> value) = 0;
    virtual std::optional<PlistValue> objectValue() const = 0;
    // What may be recorded: modifiers outside ALLOWED are dropped, REQUIRED must all be held,
    // and a key without modifiers is taken only when ALLOWSEMPTY.
    virtual void setAllowedModifierFlags(std::uint64_t allowed, std::uint64_t required,
                                         bool allowsEmpty) = 0;
    // Not owned; the delegate outlives the control or clears itself (nullptr).
    virtual void setDelegate(ShortcutRecorderDelegate* delegate) = 0;
    virtual void setTranslatesAutoresizingMaskIntoConstraints(bool flag) { (void)flag; }
};

// The program's recorder: it also carries the row of the shortcut table it stands in.
class TaggedShortcutRecorder : public ShortcutRecorder {
  public:
    std::int64_t shortcutTag() const { return shortcutTag_; }
    void setShortcutTag(std::int64_t shortcutTag) { shortcutTag_ = shortcutTag; }

  private:
    std::int64_t shortcutTag_ = 0;
};

struct ControlState {
    enum : std::int64_t { Off = 0, On = 1 };
};

} // namespace velmora
