// SPDX-License-Identifier: MIT
#pragma once
// How the Spotlight and Alfred search panels look in the window list, and which raw modifier
// flags mean that no modifier key is held.

#include "platform/property_list.h"

#include <cstdint>

namespace velmora {

inline constexpr const char* kSpotlightOwnerName = "Spotlight";
inline constexpr const char* kSpotlightOwnerNameChinese = "\xE8\x81\x9A\xE7\x84\xA6"; // 聚焦
// Spotlight keeps narrow helper windows on screen; its panel is wider than these.
inline constexpr std::int32_t kSpotlightPanelMinimumWidth = 101;
inline constexpr const char* kAlfredOwnerNamePrefix = "Alfred";
// Alfred's panel floats on this window layer; its other windows do not.
inline constexpr std::int32_t kAlfredPanelLayer = 27;

// An on-screen Spotlight window at least 101 wide (width read as a whole number).
bool isSpotlightPanel(const PlistValue& entry);
// An on-screen window of an owner whose name begins with "Alfred", on layer 27.
bool isAlfredPanel(const PlistValue& entry);

// The raw flags with no modifier key held: 0x100 alone, with Caps Lock (0x10000), with the
// Function bit (0x800000), or with both.
bool isModifierReleaseValue(std::uint64_t flags);
// The releases after which the Alfred open poll is stopped: those without the Function bit.
bool releaseStopsOpenPoll(std::uint64_t flags);

} // namespace velmora
