// SPDX-License-Identifier: MIT
#pragma once
// Reading one window-list entry. The window server's entries are loosely typed dictionaries;
// every reader here checks the type and reads a missing or mistyped value as absent, so that
// a strange entry can only fail a test, never break a walk.

#include "platform/property_list.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// "kCGWindowOwnerName"; none when absent or not a string.
const std::string* windowOwnerName(const PlistValue& entry);
// "kCGWindowName"; none when absent or not a string (a window without a title).
const std::string* windowName(const PlistValue& entry);
// Whether the title test passes: only a title that is the empty string fails it.
bool windowNameIsNotEmpty(const PlistValue& entry);
// "kCGWindowIsOnscreen"; false when absent. A number counts as true when not zero.
bool windowIsOnscreen(const PlistValue& entry);
// "kCGWindowLayer" as a whole number; 0 when absent or not a number.
std::int32_t windowLayer(const PlistValue& entry);
// "kCGWindowBounds"; nullptr when absent or not a dictionary. Points into ENTRY.
const PlistDictionary* windowBounds(const PlistValue& entry);

// A value of a bounds dictionary ("X", "Y", "Width", "Height") read as a 32-bit whole number:
// the fraction is dropped, values beyond the 32-bit range saturate, and a missing or
// non-numeric value (or no dictionary at all) reads 0.
std::int32_t boundsWholeNumber(const PlistDictionary* bounds, const char* key);
std::int32_t boundsWholeNumber(const std::optional<PlistDictionary>& bounds, const char* key);

// The same truncation for any number: NaN reads 0, the range saturates.
std::int32_t wholeNumber32(double value);

namespace boundsKey {
inline constexpr const char* kX = "X";
inline constexpr const char* kY = "Y";
inline constexpr const char* kWidth = "Width";
inline constexpr const char* kHeight = "Height";
} // namespace boundsKey

} // namespace velmora
