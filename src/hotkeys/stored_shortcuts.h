// SPDX-License-Identifier: MIT
#pragma once
// Reading the stored shortcuts: the "shortcutOfInput" dictionary (input source ID -> the
// recorder's value) and the two numbers of one shortcut. The store may hold anything another
// program wrote, so every reader here is total.

#include "engine/settings.h"
#include "platform/property_list.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// The stored shortcuts; none when the key is absent or holds no dictionary.
std::optional<PlistDictionary> storedShortcuts(const Settings& settings);

// Field FIELD ("keyCode", "modifierFlags") of a shortcut value as an integer: 0 when VALUE is
// no dictionary or the field is missing or not a number; a real is truncated and saturated to
// the 64-bit range (not-a-number reads 0).
std::int64_t shortcutField(const PlistValue* value, const std::string& field);

} // namespace velmora
