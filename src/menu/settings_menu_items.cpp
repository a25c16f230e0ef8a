// SPDX-License-Identifier: MIT
#include "menu/settings_menu_items.h"

#include "engine/settings.h"

#include <array>
#include <utility>

namespace velmora {

namespace {
constexpr std::array<std::pair<const char*, const char*>, 3> kToggles{{
    {menuAction::kToggleTipOfState, keys::kEnableTipOfState},
    {menuAction::kToggleFollowWindow, keys::kFollowWindow},
    {menuAction::kToggleBrowserAddressEnglish, keys::kEnableBrowserAddressEnglish},
}};
} // namespace

std::vector<MenuItemDescription> settingsMenuItems(const DesktopFacts& facts) {
    static const std::vector<MenuItemDescription> all{
        {"Start at Login", menuAction::kStartAtLogin},
        {"Show Input Source Indicator", menuAction::kToggleTipOfState},
        {"Hide Icon When Closed", menuAction::kHideMenuBarIcon},
        {"Indicator Follows Front Window", menuAction::kToggleFollowWindow},
        {"Latin Layout in Browser Address Bar", menuAction::kToggleBrowserAddressEnglish},
        {"", ""},
        {"Using Velmora with Alfred", menuAction::kHelp},
        {"", ""},
        {"Rate Velmora", menuAction::kRateInMAS},
        {"Velmora Online", menuAction::kGotoVelmora},
        {"Support", menuAction::kGoToClub},
        {"Videos", menuAction::kVideo},
        {"", ""},
        {"Quit Velmora", menuAction::kQuit},
    };
    std::vector<MenuItemDescription> items;
    for (const auto& item : all) {
        if ((!facts.hasAlfred && item.action == menuAction::kHelp) ||
            (!facts.hasStorePage && item.action == menuAction::kRateInMAS))
            continue;
        if (item.action.empty() && !items.empty() && items.back().action.empty())
            continue;
        items.push_back(item);
    }
    return items;
}

std::optional<std::string> settingOfToggleAction(const std::string& action) {
    for (const auto& [toggle, setting] : kToggles)
        if (action == toggle)
            return setting;
    return std::nullopt;
}

std::optional<std::string> toggleActionOfSetting(const std::string& setting) {
    for (const auto& [toggle, key] : kToggles)
        if (setting == key)
            return toggle;
    return std::nullopt;
}

} // namespace velmora
