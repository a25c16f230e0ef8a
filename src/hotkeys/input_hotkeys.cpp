// SPDX-License-Identifier: MIT
#include "hotkeys/input_hotkeys.h"

#include "hotkeys/stored_shortcuts.h"

namespace velmora {

void InputHotKeys::registerHotKey(const std::string& identifier, const PlistValue& keyCombo) {
    if (!center_)
        return;
    center_->registerHotKey(
        GlobalShortcut::hotKeyWithIdentifierKeyCombo(identifier, keyCombo, hooks_.hotKeyAction));
}

void InputHotKeys::registerAllHotKey() {
    auto shortcuts = storedShortcuts(settings_);
    if (!shortcuts || !center_)
        return;
    for (const auto& [identifier, keyCombo] : *shortcuts) {
        if (!keyCombo.isDictionary()) {
            application_.log("shortcut of " + identifier +
                             " is no key combination; not registered");
            continue;
        }
        registerHotKey(identifier, keyCombo);
    }
}

void InputHotKeys::recordingEnded(std::int64_t row, const std::optional<PlistValue>& value) {
    if (row < 0 || static_cast<std::uint64_t>(row) >= lists_.catalogue.size())
        return;
    PlistDictionary shortcuts = storedShortcuts(settings_).value_or(PlistDictionary{});
    const std::string identifier = lists_.catalogue[static_cast<std::size_t>(row)].id;
    if (center_) {
        if (HotKeyPtr old = center_->hotKeyWithIdentifier(identifier))
            center_->unregisterHotKey(old);
    }
    if (value) {
        registerHotKey(identifier, *value);
        shortcuts[identifier] = *value;
    } else {
        // Written back even when it becomes empty: the key stays.
        shortcuts.erase(identifier);
    }
    settings_.setObjectForKey(PlistValue(std::move(shortcuts)), keys::kShortcutOfInput);
    settings_.synchronize();
    if (hooks_.reloadShortcutTable)
        hooks_.reloadShortcutTable();
}

} // namespace velmora
