// SPDX-License-Identifier: MIT
#pragma once
// The stored lists of bundle identifiers: "orderOfAppsRule" and "notDisplayAppName".

#include "engine/settings.h"

#include <string>
#include <vector>

namespace velmora {

// The strings of the array under KEY, in order; entries of other types are skipped. Empty
// when the key is absent or holds no array.
std::vector<std::string> storedStrings(const Settings& settings, const std::string& key);

// The array under KEY as stored, entries of every type kept (so that a writer changes only
// what it means to); empty when absent or not an array.
PlistArray storedArray(const Settings& settings, const std::string& key);

// Whether ARRAY holds the string TEXT.
bool containsString(const PlistArray& array, const std::string& text);

} // namespace velmora
