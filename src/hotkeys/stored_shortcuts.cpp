// SPDX-License-Identifier: MIT
#include "hotkeys/stored_shortcuts.h"

#include "platform/saturating_numbers.h"

namespace velmora {

std::optional<PlistDictionary> storedShortcuts(const Settings& settings) {
    // Settings answers none for a value of the wrong type.
    auto value = settings.objectForKey(keys::kShortcutOfInput);
    if (!value || !value->dictionary())
        return std::nullopt;
    return *value->dictionary();
}

std::int64_t shortcutField(const PlistValue* value, const std::string& field) {
    const PlistValue* number = value ? value->find(field) : nullptr;
    if (!number)
        return 0;
    if (const std::int64_t* integer = number->integer())
        return *integer;
    if (const double* real = number->real())
        return saturatingWhole<std::int64_t>(*real);
    return 0;
}

} // namespace velmora
