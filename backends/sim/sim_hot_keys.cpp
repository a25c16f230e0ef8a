// SPDX-License-Identifier: MIT
#include "sim_hot_keys.h"

#include "platform/controls.h"
#include "platform/saturating_numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace velmora::sim {

std::string hexNumber(std::int64_t value) {
    const bool negative = value < 0;
    // Negating in unsigned arithmetic keeps the most negative value whole.
    const std::uint64_t magnitude =
        negative ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    char digits[24];
    std::snprintf(digits, sizeof digits, "%llx", static_cast<unsigned long long>(magnitude));
    return std::string(negative ? "-0x" : "0x") + digits;
}

std::int64_t comboField(const PlistValue& keyCombo, const char* field) {
    const PlistValue* value = keyCombo.find(field);
    if (!value)
        return 0;
    if (const std::int64_t* integer = value->integer())
        return *integer;
    const double* real = value->real();
    return real ? saturatingWhole<std::int64_t>(*real) : 0;
}

std::string describeKeyCombo(const PlistValue& keyCombo) {
    return std::to_string(comboField(keyCombo, kShortcutKeyCode)) + ":" +
           hexNumber(comboField(keyCombo, kShortcutModifierFlags));
}

void SimGlobalShortcuts::registerHotKey(const HotKeyPtr& hotKey) {
    if (!hotKey)
        return;
    trace_.emit("hotkey register " + hotKey->identifier() + " " +
                describeKeyCombo(hotKey->keyCombo()));
    if (std::find(registered_.begin(), registered_.end(), hotKey) == registered_.end())
        registered_.push_back(hotKey);
}

void SimGlobalShortcuts::unregisterHotKey(const HotKeyPtr& hotKey) {
    if (!hotKey)
        return;
    trace_.emit("hotkey unregister " + hotKey->identifier());
    std::erase(registered_, hotKey);
}

HotKeyPtr SimGlobalShortcuts::hotKeyWithIdentifier(const std::string& identifier) {
    for (const auto& hotKey : registered_)
        if (hotKey->identifier() == identifier)
            return hotKey;
    return nullptr;
}

void SimGlobalShortcuts::press(std::int64_t keyCode, std::int64_t modifierFlags) {
    // An action may register or unregister hotkeys: the ones to fire are chosen first.
    std::vector<HotKeyPtr> firing;
    for (const auto& hotKey : registered_) {
        const PlistValue& combo = hotKey->keyCombo();
        const PlistValue* code = combo.find(kShortcutKeyCode);
        const PlistValue* flags = combo.find(kShortcutModifierFlags);
        if (code && code->isNumber() && flags && flags->isNumber() &&
            comboField(combo, kShortcutKeyCode) == keyCode &&
            comboField(combo, kShortcutModifierFlags) == modifierFlags)
            firing.push_back(hotKey);
    }
    for (const auto& hotKey : firing)
        hotKey->invoke();
}

std::vector<std::string> SimGlobalShortcuts::describeRegistrations() const {
    std::vector<HotKeyPtr> sorted = registered_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const HotKeyPtr& a, const HotKeyPtr& b) {
        return a->identifier() < b->identifier();
    });
    std::vector<std::string> lines;
    for (const auto& hotKey : sorted)
        lines.push_back("hotkey " + hotKey->identifier() + " " +
                        describeKeyCombo(hotKey->keyCombo()));
    return lines;
}

} // namespace velmora::sim
