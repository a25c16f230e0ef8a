// SPDX-License-Identifier: MIT
#include "shortcut_text.h"

#include "platform/controls.h"

#include <QCoreApplication>

namespace velmora::qt {

namespace {

// The largest key code a stored shortcut can carry: X key codes fit in a byte, and the keyboard
// positions of other desktops are smaller still.
constexpr std::int64_t kLargestKeyCode = 0xFFFF;

} // namespace

std::uint64_t storedModifierFlags(Qt::KeyboardModifiers modifiers) {
    std::uint64_t flags = 0;
    if (modifiers & Qt::ControlModifier)
        flags |= ModifierFlag::Control;
    if (modifiers & Qt::AltModifier)
        flags |= ModifierFlag::Alt;
    if (modifiers & Qt::ShiftModifier)
        flags |= ModifierFlag::Shift;
    if (modifiers & Qt::MetaModifier)
        flags |= ModifierFlag::Super;
    return flags;
}

std::uint64_t modifierFlagOfKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Control:
        return ModifierFlag::Control;
    case Qt::Key_Alt:
        return ModifierFlag::Alt;
    case Qt::Key_Shift:
        return ModifierFlag::Shift;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return ModifierFlag::Super;
    default:
        return 0;
    }
}

QString modifierText(std::uint64_t flags) {
    QString text;
    if (flags & ModifierFlag::Control)
        text += QCoreApplication::translate("Velmora", "Ctrl") + u'+';
    if (flags & ModifierFlag::Alt)
        text += QCoreApplication::translate("Velmora", "Alt") + u'+';
    if (flags & ModifierFlag::Shift)
        text += QCoreApplication::translate("Velmora", "Shift") + u'+';
    if (flags & ModifierFlag::Super)
        text += QCoreApplication::translate("Velmora", "Super") + u'+';
    return text;
}

QString shortcutText(std::uint64_t flags, std::int64_t keyCode, const KeyTranslation& keys) {
    QString key;
    if (keyCode < 0 || keyCode > kLargestKeyCode)
        key = QStringLiteral("?");
    else if (keys.label)
        key = QString::fromStdString(keys.label(keyCode));
    if (key.isEmpty())
        key = QCoreApplication::translate("Velmora", "Key %1").arg(keyCode);
    return modifierText(flags) + key;
}

} // namespace velmora::qt
