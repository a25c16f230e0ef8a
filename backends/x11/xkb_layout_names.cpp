// SPDX-License-Identifier: MIT
#include "xkb_layout_names.h"

#include "xcb_xkb.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <string_view>

namespace velmora::x11 {

namespace {

constexpr std::string_view kIdPrefix = "xkb:";
// Far longer than any layout or variant name XKB ships; a longer one is not looked for.
constexpr std::size_t kLongestName = 64;
// Answers kept; past it they are forgotten, to be found again if asked.
constexpr std::size_t kMostKept = 256;

// Only the characters of XKB's layout and variant names: anything else could be taken by the
// rules for syntax ("+", ":", "(", ",") or a path.
bool isPlainName(std::string_view name) {
    return !name.empty() && name.size() <= kLongestName &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '_' || c == '-';
           });
}

} // namespace

XkbLayoutNames::XkbLayoutNames() {
    // The machine's rules alone: the XKB_DEFAULT_* variables of the environment must not
    // change which layout a name stands for.
    context_ = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    // A layout that is not there is an answer here, not an error for the log.
    if (context_)
        xkb_context_set_log_level(context_, XKB_LOG_LEVEL_CRITICAL);
}

XkbLayoutNames::~XkbLayoutNames() {
    if (context_)
        xkb_context_unref(context_);
}

std::optional<std::string> XkbLayoutNames::nameOf(const std::string& id) {
    if (auto it = known_.find(id); it != known_.end())
        return it->second;
    std::string_view rest(id);
    if (!context_ || !rest.starts_with(kIdPrefix))
        return std::nullopt;
    rest.remove_prefix(kIdPrefix.size());
    std::string_view layout = rest, variant;
    if (auto open = rest.find('('); open != std::string_view::npos) {
        if (!rest.ends_with(')'))
            return std::nullopt;
        layout = rest.substr(0, open);
        variant = rest.substr(open + 1, rest.size() - open - 2);
        if (!isPlainName(variant))
            return std::nullopt;
    }
    if (!isPlainName(layout))
        return std::nullopt;

    const std::string layoutName(layout), variantName(variant);
    xkb_rule_names names{};
    names.layout = layoutName.c_str();
    names.variant = variantName.c_str();
    KeymapPtr keymap(xkb_keymap_new_from_names(context_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    std::optional<std::string> name;
    if (keymap && xkb_keymap_num_layouts(keymap.get()) >= 1) {
        const char* found = xkb_keymap_layout_get_name(keymap.get(), 0);
        if (found && *found)
            name = found;
    }
    if (known_.size() >= kMostKept)
        known_.clear();
    known_.emplace(id, name);
    return name;
}

} // namespace velmora::x11
