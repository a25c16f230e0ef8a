// SPDX-License-Identifier: MIT
// The key position table and the reading of stored key combinations (the table on a server's
// keymap is in x11_hot_key_center_test.cpp).

#include "x11/key_positions.h"
#include "x11/stored_key_combo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace velmora::x11 {
namespace {

// Each entry found by its code and its name, and on a server's keymap: x11_hot_key_center_test.cpp.
TEST(KeyPositions, StoredCodesNameTheAnsiPositions) {
    struct Expected {
        std::int64_t keyCode;
        std::string_view name;
        std::string_view label;
    };
    // Anchors of the stored format across the keyboard's blocks (J K L and F1: shortcuts.sh and
    // hotkeys.sh).
    const Expected anchors[] = {
        {0, "AC01", "A"},        {12, "AD01", "Q"},     {0x1D, "AE10", "0"},
        {0x31, "SPCE", "Space"}, {0x5A, "FK20", "F20"}, {0x75, "DELE", "Del"},
        {0x52, "KP0", "Num+0"},  {0x0A, "LSGT", "<"},   {0x7B, "LEFT", "Left"}};
    for (const Expected& e : anchors) {
        const KeyPosition* position = keyPositionOfKeyCode(e.keyCode);
        ASSERT_NE(position, nullptr) << e.name;
        EXPECT_EQ(position->xkbName, e.name);
        EXPECT_EQ(position->label, e.label);
    }
    // 0x34 is unused; 0x36..0x3F are the modifier keys themselves, never a hotkey's key.
    for (std::int64_t code :
         {std::int64_t{-1}, std::int64_t{0x34}, std::int64_t{0x37}, std::int64_t{0x3F},
          std::int64_t{0x7F}, std::int64_t{1} << 40, std::numeric_limits<std::int64_t>::min(),
          std::numeric_limits<std::int64_t>::max()})
        EXPECT_EQ(keyPositionOfKeyCode(code), nullptr) << code;
}

PlistValue combo(PlistValue keyCode, PlistValue modifierFlags) {
    return PlistValue(PlistDictionary{{"keyCode", std::move(keyCode)},
                                      {"modifierFlags", std::move(modifierFlags)}});
}

TEST(StoredKeyCombo, ReadsTheRecordersDictionary) {
    struct Case {
        PlistValue stored;
        std::int64_t keyCode, modifierFlags, unknownBits;
    };
    for (const Case& c : {
             Case{combo(0x7A, 0x40000 | 0x80000), 0x7A, 0xC0000, 0},
             Case{combo(3, 0), 3, 0, 0}, // a key without modifiers, which the recorder allows
             // Whole reals are what some property-list writers make of integers.
             Case{combo(12.0, 1048576.0), 12, kStoredCommandMask, 0},
             // 0x800000 is the function-key flag some recorders add; 0x100 a device bit.
             Case{combo(0, 0x20000 | 0x800000 | 0x100), 0, kStoredShiftMask, 0x800100},
         }) {
        auto reading = readStoredKeyCombo(c.stored);
        ASSERT_TRUE(reading.combo) << reading.problem;
        EXPECT_EQ(reading.combo->keyCode, c.keyCode);
        EXPECT_EQ(reading.combo->modifierFlags, c.modifierFlags) << c.keyCode;
        EXPECT_EQ(reading.combo->unknownModifierBits, c.unknownBits) << c.keyCode;
    }
}

TEST(StoredKeyCombo, ValuesOfTheWrongFormGiveAReasonAndNoCombo) {
    const double nan = std::nan("");
    for (const PlistValue& value :
         {PlistValue("A"), PlistValue(PlistArray{1, 2}), PlistValue(7),
          PlistValue(PlistDictionary{}), PlistValue(PlistDictionary{{"keyCode", 1}}),
          PlistValue(PlistDictionary{{"modifierFlags", 0x20000}}), combo("1", 0x20000),
          combo(1, "0x20000"), combo(true, 0x20000), combo(1.5, 0x20000), combo(1e300, 0x20000),
          combo(nan, 0x20000), combo(-std::numeric_limits<double>::infinity(), 0x20000),
          combo(9223372036854775808.0, 0x20000), combo(1, -1), combo(1, -0x20000), combo(1, 0.5)}) {
        auto reading = readStoredKeyCombo(value);
        EXPECT_FALSE(reading.combo);
        EXPECT_FALSE(reading.problem.empty());
    }
}

} // namespace
} // namespace velmora::x11
