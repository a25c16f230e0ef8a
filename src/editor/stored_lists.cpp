// SPDX-License-Identifier: MIT
#include "editor/stored_lists.h"

#include <algorithm>

namespace velmora {

std::vector<std::string> storedStrings(const Settings& settings, const std::string& key) {
    std::vector<std::string> strings;
    for (const auto& entry : storedArray(settings, key))
        if (const std::string* text = entry.string())
            strings.push_back(*text);
    return strings;
}

PlistArray storedArray(const Settings& settings, const std::string& key) {
    auto value = settings.objectForKey(key);
    if (!value || !value->array())
        return {};
    return std::move(*value->array());
}

bool containsString(const PlistArray& array, const std::string& text) {
    return std::any_of(array.begin(), array.end(), [&](const PlistValue& entry) {
        return entry.string() && *entry.string() == text;
    });
}

} // namespace velmora
