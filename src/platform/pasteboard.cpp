// SPDX-License-Identifier: MIT
#include "platform/pasteboard.h"

#include <charconv>
#include <string_view>

namespace velmora {

namespace {
constexpr std::string_view kIndexSetPrefix = "velmora-index-set:";
} // namespace

Data archivedDataWithRootObject(const IndexSet& indexes) {
    std::string text(kIndexSetPrefix);
    bool first = true;
    for (std::int64_t index : indexes) {
        if (index < 0)
            continue;
        if (!first)
            text += ',';
        first = false;
        text += std::to_string(index);
    }
    return Data(text.begin(), text.end());
}

std::optional<IndexSet> unarchiveIndexSet(const Data& data) {
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    if (!text.starts_with(kIndexSetPrefix))
        return std::nullopt;
    text.remove_prefix(kIndexSetPrefix.size());
    IndexSet indexes;
    if (text.empty())
        return indexes;
    std::int64_t previous = -1;
    while (true) {
        std::size_t comma = text.find(',');
        std::string_view number = text.substr(0, comma);
        std::int64_t value = 0;
        auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (number.empty() || ec != std::errc() || end != number.data() + number.size() ||
            number.front() == '-' || value <= previous)
            return std::nullopt;
        indexes.insert(value);
        previous = value;
        if (comma == std::string_view::npos)
            return indexes;
        text.remove_prefix(comma + 1);
    }
}

} // namespace velmora
