// SPDX-License-Identifier: MIT
#pragma once
// Global hotkeys: a key combination that acts whatever application is in front. The program
// registers one per input source that has a stored shortcut; its identifier is the input
// source's ID.

#include "platform/property_list.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

// One hotkey: an identifier, the key combination exactly as the recorder reported it (a
// dictionary with the integers "keyCode" and "modifierFlags"), and what pressing it does.
// The hotkey keeps its action (and whatever the action holds) alive while it exists.
class GlobalShortcut {
  public:
    using Action = std::function<void(GlobalShortcut& hotKey)>;

    GlobalShortcut(std::string identifier, PlistValue keyCombo, Action action)
        : identifier_(std::move(identifier)), keyCombo_(std::move(keyCombo)),
          action_(std::move(action)) {}
    GlobalShortcut(const GlobalShortcut&) = delete;
    GlobalShortcut& operator=(const GlobalShortcut&) = delete;

    static std::shared_ptr<GlobalShortcut>
    hotKeyWithIdentifierKeyCombo(std::string identifier, PlistValue keyCombo, Action action) {
        return std::make_shared<GlobalShortcut>(std::move(identifier), std::move(keyCombo),
                                                std::move(action));
    }

    const std::string& identifier() const { return identifier_; }
    const PlistValue& keyCombo() const { return keyCombo_; }
    // Called by the centre, on the main thread, when the combination is pressed.
    void invoke() {
        if (action_)
            action_(*this);
    }

  private:
    std::string identifier_;
    PlistValue keyCombo_;
    Action action_;
};

using HotKeyPtr = std::shared_ptr<GlobalShortcut>;

// The process's hotkey centre. Main thread only; actions fire on the main thread.
class GlobalShortcuts {
  public:
    GlobalShortcuts() = default;
    GlobalShortcuts(const GlobalShortcuts&) = delete;
    GlobalShortcuts& operator=(const GlobalShortcuts&) = delete;
    virtual ~GlobalShortcuts() = default;

    // Makes HOTKEY act system-wide until it is unregistered. A combination the desktop refuses
    // (taken by another program, no such key) leaves the hotkey registered but silent: the
    // centre says why once in the log. The result is not the caller's concern.
    virtual void registerHotKey(const HotKeyPtr& hotKey) = 0;
    // Ends HOTKEY's registration (found by identity); unknown hotkeys are ignored.
    virtual void unregisterHotKey(const HotKeyPtr& hotKey) = 0;
    // The first registered hotkey with IDENTIFIER, or nullptr.
    virtual HotKeyPtr hotKeyWithIdentifier(const std::string& identifier) = 0;
};

} // namespace velmora
