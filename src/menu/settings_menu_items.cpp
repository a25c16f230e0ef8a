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

const std::vector<MenuItemDescription>& settingsMenuItems() {
    static const std::vector<MenuItemDescription> items{
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
