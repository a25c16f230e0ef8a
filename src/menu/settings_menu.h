// SPDX-License-Identifier: MIT
#pragma once
// The settings menu's actions: its check marks when it pops up, start at login, hiding the
// menu bar icon, the three indicator and address-bar settings, the Alfred tip, the links and
// quitting. The settings live only in the store; the menu is refreshed at every pop-up.
//
// Main thread only.

#include "engine/settings.h"
#include "menu/login_item.h"
#include "platform/application.h"
#include "platform/views.h"
#include "platform/workspace.h"

#include <functional>
#include <string>

namespace velmora {

class SettingsMenu {
  public:
    // What the menu asks of the popover's controller and of the application delegate. An
    // empty function is skipped.
    struct Hooks {
        std::function<void()> showPopover;
        std::function<void()> checkRemoveButton;
        // "enableTipOfState" changed: the indicator shows or hides by it at once.
        std::function<void()> indicatorSettingChanged;
    };

    // The menu pops up this far from the settings button's origin.
    static constexpr Point kPopupOffset{15, -6};

    SettingsMenu(Settings& settings, ViewFactory& views, Application& application,
                 Workspace& workspace, LoginItems* loginItems, Hooks hooks)
        : settings_(settings), views_(views), application_(application), workspace_(workspace),
          loginItem_(loginItems, application), hooks_(std::move(hooks)) {}

    // Sets every check mark from the store and pops MENU up next to BUTTON (at the offset
    // alone without one) in VIEW. Without a menu nothing happens.
    void showPopupMenu(Menu* menu, const View* button, View* view);

    void toggleStartAtLogin();
    void hideMenuBarIcon();
    // Stores the inverted value of the boolean SETTING and flushes.
    void toggleSetting(const std::string& setting);
    void help();
    void rateInStore();
    void openHomePage();
    void openClub();
    void openVideo();
    void quit();

  private:
    Settings& settings_;
    ViewFactory& views_;
    Application& application_;
    Workspace& workspace_;
    BundleLoginItem loginItem_;
    Hooks hooks_;
};

} // namespace velmora
