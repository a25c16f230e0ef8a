// SPDX-License-Identifier: MIT
#pragma once
// The settings menu as the program lays it out: titles, the action each entry sends, and the
// settings behind the entries that carry a check mark. Start at login must stay item 0 and
// hiding the menu bar icon item 2. A desktop without Alfred or without a store page shows the
// menu without the entry that would mean nothing there.

#include "platform/desktop_facts.h"
#include "platform/menu.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

namespace menuAction {
inline constexpr const char* kStartAtLogin = "StartAtLogin:";
inline constexpr const char* kHideMenuBarIcon = "hideMenuBarIcon:";
inline constexpr const char* kToggleTipOfState = "toggleTipOfState:";
inline constexpr const char* kToggleFollowWindow = "toggleFollowWindow:";
inline constexpr const char* kToggleBrowserAddressEnglish = "toggleBrowserAddressEnglish:";
inline constexpr const char* kHelp = "help:";
inline constexpr const char* kRateInMAS = "rateInMAS:";
inline constexpr const char* kGotoVelmora = "gotoVelmora:";
inline constexpr const char* kGoToClub = "GoToClub:";
inline constexpr const char* kVideo = "Video:";
inline constexpr const char* kQuit = "Quit:";
} // namespace menuAction

inline constexpr std::int64_t kStartAtLoginItemIndex = 0;
inline constexpr std::int64_t kHideMenuBarIconItemIndex = 2;

// Every entry FACTS allow, in order; separators have no action, and one that would follow
// another is left out with the entry between them.
std::vector<MenuItemDescription> settingsMenuItems(const DesktopFacts& facts = {});

// The boolean setting an entry flips ("enableTipOfState"...); none for other actions.
std::optional<std::string> settingOfToggleAction(const std::string& action);
// The entry that flips SETTING; none for a setting without one.
std::optional<std::string> toggleActionOfSetting(const std::string& setting);

} // namespace velmora
