// SPDX-License-Identifier: MIT
#include "menu/settings_menu.h"

#include "menu/alfred_tip.h"
#include "menu/links.h"
#include "menu/settings_menu_items.h"

namespace velmora {

namespace {
std::int64_t stateOf(bool on) {
    return on ? ControlState::On : ControlState::Off;
}
} // namespace

void SettingsMenu::showPopupMenu(Menu* menu, const View* button, View* view) {
    if (!menu)
        return;
    Point location = kPopupOffset;
    if (button) {
        const Point origin = button->frame().origin;
        location = Point{origin.x + kPopupOffset.x, origin.y + kPopupOffset.y};
    }
    menu->setStateOfItemAtIndex(kStartAtLoginItemIndex,
                                stateOf(settings_.boolForKey(keys::kAutoStartAtLogin)));
    menu->setStateOfItemAtIndex(kHideMenuBarIconItemIndex,
                                stateOf(settings_.boolForKey(keys::kHideMenuBarIcon)));
    // The setting entries are found by their action, wherever the layout puts them.
    for (std::int64_t i = 0; i < menu->numberOfItems(); ++i)
        if (auto setting = settingOfToggleAction(menu->actionOfItemAtIndex(i)))
            menu->setStateOfItemAtIndex(i, stateOf(settings_.boolForKey(*setting)));
    menu->popUpMenuPositioningItem(std::nullopt, location, view);
}

void SettingsMenu::toggleStartAtLogin() {
    const bool wasOn = settings_.boolForKey(keys::kAutoStartAtLogin);
    if (wasOn)
        loginItem_.removeFromLoginItems();
    else
        loginItem_.addToLoginItems();
    // Inverted whatever the list did; the store is flushed with the next flush.
    settings_.setBoolForKey(!wasOn, keys::kAutoStartAtLogin);
}

void SettingsMenu::hideMenuBarIcon() {
    // Takes effect when the popover next closes.
    settings_.setBoolForKey(!settings_.boolForKey(keys::kHideMenuBarIcon), keys::kHideMenuBarIcon);
}

void SettingsMenu::toggleSetting(const std::string& setting) {
    settings_.setBoolForKey(!settings_.boolForKey(setting), setting);
    settings_.synchronize();
    // The follow and address-bar settings are read when they are next needed; the indicator
    // must appear or disappear now.
    if (setting == keys::kEnableTipOfState && hooks_.indicatorSettingChanged)
        hooks_.indicatorSettingChanged();
}

void SettingsMenu::help() {
    auto alert = views_.makeAlert();
    if (!alert)
        return;
    alert->setMessageText(application_.localizedStringForKeyValueTable(kAlfredTipKey, "", ""));
    alert->addButtonWithTitle(
        application_.localizedStringForKeyValueTable(kAlfredTipButtonKey, "", ""));
    alert->runModal();
    if (hooks_.showPopover)
        hooks_.showPopover();
    if (hooks_.checkRemoveButton)
        hooks_.checkRemoveButton();
}

void SettingsMenu::rateInStore() {
    if (auto url = reviewURL(application_))
        workspace_.openURL(*url);
}

void SettingsMenu::openHomePage() {
    rateInStore();
}

void SettingsMenu::openClub() {
    workspace_.openURL(supportURL(application_));
}

void SettingsMenu::openVideo() {
    workspace_.openURL(videoURL(application_));
}

void SettingsMenu::quit() {
    application_.terminate();
}

} // namespace velmora
