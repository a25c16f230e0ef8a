// SPDX-License-Identifier: MIT
#pragma once
// The JSON form of property-list values: how scenario files write stored values, and how the
// trace and show lines print them.

#include "platform/property_list.h"

#include <optional>
#include <string>

namespace velmora {

// Compact JSON: object keys sorted by byte value, non-ASCII characters as they are.
std::string toCompactJson(const PlistValue& value);

// Parses one JSON value (objects, arrays, strings, integers, true, false; a number with a
// fraction or exponent becomes a real; NaN, Infinity and -Infinity are the reals JSON has no
// form for). On failure returns none and sets ERROR.
std::optional<PlistValue> parseJson(const std::string& text, std::string* error);

} // namespace velmora
