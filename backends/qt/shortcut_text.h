// SPDX-License-Identifier: MIT
#pragma once
// Shortcuts as the desktop writes them ("Ctrl+Alt+A", "Shift+Super+F1") and the modifier masks
// of stored shortcuts as Qt knows them.

#include "key_translation.h"

#include <QString>
#include <Qt>

#include <cstdint>

namespace velmora::qt {

// The stored mask of Qt's modifiers: Control, Alt (Option), Shift and Meta (the Super key;
// Command). Keypad and group-switch bits are no modifiers of a shortcut.
std::uint64_t storedModifierFlags(Qt::KeyboardModifiers modifiers);
// The stored mask of a modifier key itself (Shift_L, Control_R, Super_L...); 0 for other keys.
std::uint64_t modifierFlagOfKey(int qtKey);

// The modifiers of FLAGS in the desktop's order, each followed by "+": "Ctrl+Alt+Shift+Super+".
// Bits that are no modifier are ignored.
QString modifierText(std::uint64_t flags);
// The whole shortcut. A key without a name is written by its code ("Key 38"); a key code
// outside the stored range is written as "?".
QString shortcutText(std::uint64_t flags, std::int64_t keyCode, const KeyTranslation& keys);

} // namespace velmora::qt
