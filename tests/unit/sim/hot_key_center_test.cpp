// SPDX-License-Identifier: MIT
// The simulated hotkey centre: how combinations are printed and matched. (That nothing runs
// after the program terminated is in the settings-menu scenario.)

#include "sim_desktop.h"

#include <gtest/gtest.h>

#include <limits>

namespace velmora::sim {
namespace {

PlistValue combo(PlistValue keyCode, PlistValue flags) {
    return PlistValue(
        PlistDictionary{{"keyCode", std::move(keyCode)}, {"modifierFlags", std::move(flags)}});
}

// Lower case and a sign for negatives: shortcut-table.scenario and hotkeys-bad-store.scenario.
TEST(SimHotKeys, CombinationsPrintTheirNumbers) {
    EXPECT_EQ(hexNumber(std::numeric_limits<std::int64_t>::min()), "-0x8000000000000000");
    EXPECT_EQ(describeKeyCombo(combo(PlistValue(12), PlistValue(0x100000))), "12:0x100000");
    EXPECT_EQ(describeKeyCombo(combo(PlistValue("a"), PlistValue(2.9))), "0:0x2");
    EXPECT_EQ(describeKeyCombo(PlistValue("cmd-a")), "0:0x0");
}

TEST(SimHotKeys, APressFiresTheMatchesChosenBeforeAnyRuns) {
    Trace trace([] { return std::int64_t{0}; });
    SimGlobalShortcuts center(trace);
    std::vector<std::string> fired;
    HotKeyPtr second;
    auto first = GlobalShortcut::hotKeyWithIdentifierKeyCombo(
        "a", combo(PlistValue(5), PlistValue(0x100000)), [&](GlobalShortcut& key) {
            fired.push_back(key.identifier());
            center.unregisterHotKey(second); // the other one still fires this time
        });
    second = GlobalShortcut::hotKeyWithIdentifierKeyCombo(
        "b", combo(PlistValue(5), PlistValue(0x100000)),
        [&](GlobalShortcut& key) { fired.push_back(key.identifier()); });
    auto textual = GlobalShortcut::hotKeyWithIdentifierKeyCombo(
        "c", combo(PlistValue("5"), PlistValue(0x100000)),
        [&](GlobalShortcut& key) { fired.push_back(key.identifier()); });
    for (const auto& key : {first, second, textual})
        center.registerHotKey(key);
    center.press(5, 0x100001);
    EXPECT_TRUE(fired.empty());
    center.press(5, 0x100000);
    EXPECT_EQ(fired, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(center.hotKeyWithIdentifier("b"), nullptr);
    center.unregisterHotKey(second); // gone already: ignored, though traced
    EXPECT_EQ(center.registered().size(), 2u);
}

} // namespace
} // namespace velmora::sim
