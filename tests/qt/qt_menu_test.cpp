// SPDX-License-Identifier: MIT
// The settings menu on Qt: marks only the program changes, and menus dropped around a choice.

#include "qt/qt_menu.h"

#include "platform/controls.h"

#include <QAction>
#include <QApplication>

#include <gtest/gtest.h>

namespace velmora::qt {
namespace {

const std::vector<MenuItemDescription> kItems = {{"Start at Login", "StartAtLogin:"},
                                                 {"", ""},
                                                 {"Hide Icon", "hideMenuBarIcon:"},
                                                 {"Tip", "help:"},
                                                 {"", ""},
                                                 {"Quit", "Quit:"}};

TEST(QtMenus, OnlyTheProgramSetsCheckMarks) {
    QtMenu menu(kItems);
    // Only entries whose mark the program sets show one.
    menu.setStateOfItemAtIndex(0, ControlState::On);
    menu.setStateOfItemAtIndex(2, ControlState::Off);
    EXPECT_TRUE(menu.actionAt(0)->isChecked());
    EXPECT_TRUE(menu.actionAt(2)->isCheckable());
    EXPECT_FALSE(menu.actionAt(2)->isChecked());
    EXPECT_FALSE(menu.actionAt(5)->isCheckable());
    EXPECT_EQ(menu.stateOfItemAtIndex(0), ControlState::On);
    // Out of range and separators: ignored, and read off.
    menu.setStateOfItemAtIndex(1, ControlState::On);
    menu.setStateOfItemAtIndex(99, ControlState::On);
    menu.setStateOfItemAtIndex(-3, ControlState::On);
    EXPECT_EQ(menu.stateOfItemAtIndex(1), ControlState::Off);
    EXPECT_EQ(menu.stateOfItemAtIndex(99), ControlState::Off);
}

TEST(QtMenus, AChoiceLeavesTheMarkAlone) {
    QtMenu menu(kItems);
    menu.setStateOfItemAtIndex(0, ControlState::On);
    std::vector<std::string> chosen;
    menu.setTarget([&](const std::string& action) { chosen.push_back(action); });
    menu.actionAt(0)->trigger();
    EXPECT_TRUE(chosen.empty()); // not inside the menu's own handling
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, std::vector<std::string>{"StartAtLogin:"});
    // The program owns the mark: the choice did not flip it.
    EXPECT_TRUE(menu.actionAt(0)->isChecked());
    EXPECT_EQ(menu.stateOfItemAtIndex(0), ControlState::On);
}

TEST(QtMenus, ADroppedMenuIsSafe) {
    std::vector<std::string> chosen;
    // A menu dropped before its choice came through is safe.
    auto dropped = std::make_unique<QtMenu>(kItems);
    dropped->setTarget([&](const std::string& action) { chosen.push_back(action); });
    dropped->actionAt(5)->trigger();
    dropped.reset();
    QCoreApplication::processEvents();
    EXPECT_TRUE(chosen.empty());
    // A target that drops the menu (the popover going away) still has its action.
    dropped = std::make_unique<QtMenu>(kItems);
    dropped->setTarget([&](const std::string& action) {
        dropped.reset();
        chosen.push_back(action);
    });
    dropped->actionAt(3)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, std::vector<std::string>{"help:"});
    EXPECT_FALSE(dropped);
}

} // namespace
} // namespace velmora::qt
