// SPDX-License-Identifier: MIT
#include "stored_key_combo.h"

#include <cmath>

namespace velmora::x11 {

namespace {

// A whole number that fits in 64 bits; none for anything else, so that a huge or fractional
// stored value never turns into some other key.
std::optional<std::int64_t> wholeNumber(const PlistValue& value) {
    if (const std::int64_t* integer = value.integer())
        return *integer;
    if (const double* real = value.real()) {
        // 2^63 is exactly representable; every double below it in magnitude converts safely.
        constexpr double kLimit = 9223372036854775808.0;
        if (!std::isfinite(*real) || std::trunc(*real) != *real || *real >= kLimit ||
            *real < -kLimit)
            return std::nullopt;
        return static_cast<std::int64_t>(*real);
    }
    return std::nullopt;
}

} // namespace

KeyComboReading readStoredKeyCombo(const PlistValue& value) {
    const PlistDictionary* dictionary = value.dictionary();
    if (!dictionary)
        return {std::nullopt, "is no dictionary"};
    const PlistValue* keyCode = value.find("keyCode");
    if (!keyCode)
        return {std::nullopt, "has no keyCode"};
    auto code = wholeNumber(*keyCode);
    if (!code)
        return {std::nullopt, "has a keyCode that is no whole number"};
    // A missing mask would otherwise mean "no modifiers", a grab that takes the key from every
    // application: only a stored 0 asks for that.
    const PlistValue* flags = value.find("modifierFlags");
    if (!flags)
        return {std::nullopt, "has no modifierFlags"};
    auto mask = wholeNumber(*flags);
    if (!mask || *mask < 0)
        return {std::nullopt, "has modifierFlags that are no whole number of at least 0"};
    StoredKeyCombo combo;
    combo.keyCode = *code;
    combo.modifierFlags = *mask & kStoredModifierMask;
    combo.unknownModifierBits = *mask & ~kStoredModifierMask;
    return {combo, {}};
}

std::string modifierLabel(std::int64_t flags) {
    std::string text;
    if (flags & kStoredControlMask)
        text += "Ctrl+";
    if (flags & kStoredOptionMask)
        text += "Alt+";
    if (flags & kStoredShiftMask)
        text += "Shift+";
    if (flags & kStoredCommandMask)
        text += "Meta+";
    return text;
}

} // namespace velmora::x11
