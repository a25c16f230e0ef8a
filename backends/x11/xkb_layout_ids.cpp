// SPDX-License-Identifier: MIT
#include "xkb_layout_ids.h"

#include "text_encoding.h"

#include "platform/images.h"
#include "platform/text_input_sources.h"

namespace velmora::x11 {

namespace {

std::vector<std::string> splitCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return parts;
}

} // namespace

std::vector<XkbLayoutChoice> parseXkbRulesNames(std::string_view property) {
    // Fields: rules, model, layout, variant, options.
    std::vector<std::string> fields = splitNulSeparated(property);
    if (fields.size() < 3 || fields[2].empty())
        return {};
    std::vector<std::string> layouts = splitCommas(latin1ToUtf8(fields[2]));
    std::vector<std::string> variants;
    if (fields.size() > 3 && !fields[3].empty())
        variants = splitCommas(latin1ToUtf8(fields[3]));
    std::vector<XkbLayoutChoice> choices;
    for (std::size_t i = 0; i < layouts.size(); ++i)
        choices.push_back({layouts[i], i < variants.size() ? variants[i] : std::string()});
    return choices;
}

std::string inputSourceIdFor(const XkbLayoutChoice& choice) {
    return inputSourceIdOf(
        NamedLayout{.layout = choice.layout, .variant = choice.variant, .description = {}});
}

std::vector<std::string> inputSourceIdsForGroups(const std::vector<XkbLayoutChoice>& layouts,
                                                 std::size_t groupCount) {
    std::vector<std::string> ids;
    for (std::size_t group = 0; group < groupCount; ++group) {
        if (group < layouts.size() && !layouts[group].layout.empty())
            ids.push_back(inputSourceIdFor(layouts[group]));
        else
            ids.push_back("xkb:group" + std::to_string(group + 1));
    }
    return ids;
}

std::optional<std::string> badgeIconRefFor(const std::vector<XkbLayoutChoice>& layouts,
                                           std::size_t group) {
    if (group >= layouts.size() || layouts[group].layout.empty())
        return std::nullopt;
    const XkbLayoutChoice& choice = layouts[group];
    std::string ref = kLayoutBadgeIconRefPrefix + choice.layout;
    if (!choice.variant.empty())
        ref += "(" + choice.variant + ")";
    return ref;
}

std::optional<std::size_t> latinGroupFor(const std::vector<XkbLayoutChoice>& layouts,
                                         std::size_t groupCount) {
    for (std::size_t group = 0; group < groupCount && group < layouts.size(); ++group)
        if (layouts[group].layout == "us")
            return group;
    return std::nullopt;
}

} // namespace velmora::x11
