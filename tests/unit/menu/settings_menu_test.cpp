// SPDX-License-Identifier: MIT
// The settings menu: its entries, the check marks at every pop-up, and what each entry does to
// the store, the login items, the indicator, the popover and the program. (Each setting's
// toggle action: settings-menu.scenario's setting statements; Quit and the popover back after
// the tip: settings-menu.scenario; the pages opened: tests/e2e/settings_menu.sh; the entry removed
// and the setting off: login-items.scenario.)

#include "editor/editor_agent.h"
#include "menu/alfred_tip.h"
#include "menu/settings_menu.h"
#include "menu/settings_menu_items.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace velmora::testing {
namespace {

class MenuAgent : public EditorAgent {
  public:
    sim::SimMenu& menu() { return *desktop.views().menu(); }
    void choose(const char* action) { ASSERT_TRUE(menu().choose(action)) << action; }
    void popUp() { button(&PopoverLayout::actionSelectionButton).performClick(); }
};

// The menu the popover builds leaves out what the desktop lacks, and a separator with it. (The
// order of the entries: settings-menu.scenario and tests/e2e/settings_menu.sh.)
TEST(SettingsMenuItems, ADesktopShowsOnlyTheEntriesItHas) {
    for (bool alfred : {false, true})
        for (bool store : {false, true}) {
            MenuAgent sim;
            sim.desktop.platform().facts.hasAlfred = alfred;
            sim.desktop.platform().facts.hasStorePage = store;
            sim.launch();
            Lines actions;
            for (const auto& item : sim.menu().items())
                actions.push_back(item.action);
            auto count = [&](const char* action) { return std::ranges::count(actions, action); };
            EXPECT_EQ(count(menuAction::kHelp), alfred);
            EXPECT_EQ(count(menuAction::kRateInMAS), store);
            EXPECT_EQ(count(""), alfred ? 3 : 2) << "separators";
            EXPECT_EQ(std::ranges::adjacent_find(
                          actions, [](auto& a, auto& b) { return a.empty() && b.empty(); }),
                      actions.end());
        }
}

TEST(SettingsMenuPopup, ChecksComeFromTheStoreAtEveryPopUp) {
    MenuAgent sim;
    sim.launch();
    sim.popUp();
    EXPECT_EQ(sim.trace(), Lines{"0 menu popup 15,-6 item0=off item2=off"});
    sim.setStored("autoStartAtLogin", PlistValue(true));
    sim.setStored("hideMenuBarIcon", PlistValue(1));
    sim.setStored("followWindow", PlistValue(true));
    sim.desktop.world().loginItems.clear(); // the list is never asked
    sim.button(&PopoverLayout::actionSelectionButton).setFrame(Rect{{200, 40}, {20, 20}});
    sim.popUp();
    EXPECT_EQ(sim.trace().back(), "0 menu popup 215,34 item0=on item2=on");
    std::set<std::string> toggles;
    for (std::int64_t i = 0; i < sim.menu().numberOfItems(); ++i)
        if (auto setting = settingOfToggleAction(sim.menu().actionOfItemAtIndex(i))) {
            EXPECT_EQ(sim.menu().stateOfItemAtIndex(i), *setting == keys::kFollowWindow)
                << *setting;
            toggles.insert(*setting);
        }
    EXPECT_EQ(toggles.size(), 3u); // each toggle leads back to its own setting
}

// What each entry stores: settings-menu.scenario.
TEST(SettingsMenuActions, OnlyTheIndicatorAndAddressBarTogglesFlush) {
    MenuAgent sim;
    sim.launch();
    sim.choose(menuAction::kStartAtLogin);
    sim.choose(menuAction::kHideMenuBarIcon);
    EXPECT_TRUE(sim.traceWith("defaults sync").empty());
    sim.choose(menuAction::kToggleTipOfState);
    sim.choose(menuAction::kToggleFollowWindow);
    sim.choose(menuAction::kToggleBrowserAddressEnglish);
    EXPECT_EQ(sim.traceWith("defaults sync").size(), 3u);
}

// The alert, then the popover again: settings-menu.scenario.
TEST(AlfredTip, TheRemoveButtonMatchesTheSelectionAfterwards) {
    MenuAgent sim;
    sim.setRule("com.example.a", kGerman);
    sim.launch();
    sim.desktop.views().popover()->dismiss();
    sim.table().selectRowIndexesByExtendingSelection(IndexSet{0}, false);
    sim.button(&PopoverLayout::removeButton).setEnabled(false);
    sim.choose(menuAction::kHelp);
    EXPECT_TRUE(sim.button(&PopoverLayout::removeButton).isEnabled());
}

// A desktop that makes no menus and no alerts.
class BareViews final : public ViewFactory {
  public:
    std::shared_ptr<Window> makeResetWindow() override { return nullptr; }
    IndicatorViews makeIndicatorViews() override { return {}; }
};

TEST(WithoutServices, NoMenuNoAlertNoLoginItemsDoNoHarm) {
    MenuAgent sim;
    BareViews views;
    Settings settings(sim.desktop.rawStore());
    int hooksRun = 0;
    SettingsMenu menu(settings, views, sim.desktop.platform().application,
                      sim.desktop.platform().workspace, nullptr,
                      SettingsMenu::Hooks{.showPopover = [&] { ++hooksRun; },
                                          .checkRemoveButton = [&] { ++hooksRun; },
                                          .indicatorSettingChanged = {}});
    menu.showPopupMenu(nullptr, nullptr, nullptr);
    menu.help();
    EXPECT_EQ(hooksRun, 0);
    menu.toggleStartAtLogin();
    EXPECT_EQ(settings.boolForKey(keys::kAutoStartAtLogin), true);
    menu.toggleSetting(keys::kEnableTipOfState); // no hook: no crash
    EXPECT_TRUE(sim.desktop.world().loginItems.empty());
}

} // namespace
} // namespace velmora::testing
