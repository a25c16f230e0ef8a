// SPDX-License-Identifier: MIT
#pragma once
// A stored shortcut as the settings hold it: {"keyCode": N, "modifierFlags": M}, with the key
// code of an ANSI key position and the masks Shift, Control, Option and Command. Settings come
// from outside, so each reading says what was wrong instead of trusting the value.

#include "platform/property_list.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::x11 {

inline constexpr std::int64_t kStoredShiftMask = 0x20000;
inline constexpr std::int64_t kStoredControlMask = 0x40000;
inline constexpr std::int64_t kStoredOptionMask = 0x80000;
inline constexpr std::int64_t kStoredCommandMask = 0x100000;
inline constexpr std::int64_t kStoredModifierMask =
    kStoredShiftMask | kStoredControlMask | kStoredOptionMask | kStoredCommandMask;

struct StoredKeyCombo {
    std::int64_t keyCode = 0;
    std::int64_t modifierFlags = 0; // only the four known masks
    // Bits of the stored flags that are none of the four masks; they are ignored.
    std::int64_t unknownModifierBits = 0;

    bool operator==(const StoredKeyCombo&) const = default;
};

struct KeyComboReading {
    std::optional<StoredKeyCombo> combo;
    std::string problem; // why there is no combo, for the log
};

// Reads VALUE. Integers are taken as they are; a real must be a whole number in range. The
// key code is not checked against the keyboard here.
KeyComboReading readStoredKeyCombo(const PlistValue& value);

// "Ctrl+Alt+" style text of FLAGS (known masks only), in the desktop's usual order.
std::string modifierLabel(std::int64_t flags);

} // namespace velmora::x11
