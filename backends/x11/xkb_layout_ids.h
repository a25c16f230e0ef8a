// SPDX-License-Identifier: MIT
#pragma once
// Input source IDs of the XKB groups, taken from the root window's _XKB_RULES_NAMES property
// (rules, model, layouts, variants, options; written by setxkbmap and the desktop's keyboard
// settings). The keymap itself only has display names like "English (US)", which are not
// stable identifiers, so the IDs come from the layout names the keymap was built from.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::x11 {

struct XkbLayoutChoice {
    std::string layout;  // "us"
    std::string variant; // "" or "dvorak"
};

// The layouts named by the raw bytes of _XKB_RULES_NAMES, one per group, in group order.
// Empty when the property holds no layout field.
std::vector<XkbLayoutChoice> parseXkbRulesNames(std::string_view property);

// "xkb:us" or "xkb:us(dvorak)".
std::string inputSourceIdFor(const XkbLayoutChoice& choice);

// The IDs of GROUPCOUNT groups. A group that the rules names do not describe (the property is
// missing, or was written before the keymap changed) gets "xkb:group<N>", N counting from 1.
std::vector<std::string> inputSourceIdsForGroups(const std::vector<XkbLayoutChoice>& layouts,
                                                 std::size_t groupCount);

// The icon reference of group GROUP: the badge the images service draws for its layout
// ("velmora-badge:us", "velmora-badge:de(nodeadkeys)"; see kLayoutBadgeIconRefPrefix in
// platform/images.h). X11 has no icons for layouts. None for a group that the rules names do
// not describe: without a layout name there is nothing to write on it.
std::optional<std::string> badgeIconRefFor(const std::vector<XkbLayoutChoice>& layouts,
                                           std::size_t group);

// The group that the ABC keyboard layout of the browser address-bar switch stands for: the
// first group whose layout is "us". None when no group has it.
std::optional<std::size_t> latinGroupFor(const std::vector<XkbLayoutChoice>& layouts,
                                         std::size_t groupCount);

} // namespace velmora::x11
