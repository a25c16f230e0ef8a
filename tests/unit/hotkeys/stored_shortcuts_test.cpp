// Reading the numbers of a stored shortcut: whatever the store holds, an integer comes out.

#include "hotkeys/stored_shortcuts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velmora {
namespace {

std::int64_t keyCodeOf(PlistValue field) {
    PlistValue shortcut(PlistDictionary{{"keyCode", std::move(field)}});
    return shortcutField(&shortcut, "keyCode");
}

TEST(ShortcutField, IntegersAsTheyAreRealsTruncatedAndSaturated) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(keyCodeOf(PlistValue(std::int64_t{-7})), -7);
    EXPECT_EQ(keyCodeOf(PlistValue(kMax)), kMax);
    EXPECT_EQ(keyCodeOf(PlistValue(12.9)), 12);
    EXPECT_EQ(keyCodeOf(PlistValue(-12.9)), -12);
    EXPECT_EQ(keyCodeOf(PlistValue(9223372036854775808.0)), kMax);
    EXPECT_EQ(keyCodeOf(PlistValue(-1e300)), kMin);
    EXPECT_EQ(keyCodeOf(PlistValue(std::numeric_limits<double>::infinity())), kMax);
    EXPECT_EQ(keyCodeOf(PlistValue(std::nan(""))), 0);
}

TEST(ShortcutField, AnythingElseReads0) {
    EXPECT_EQ(keyCodeOf(PlistValue("12")), 0);
    EXPECT_EQ(keyCodeOf(PlistValue(true)), 0);
    EXPECT_EQ(keyCodeOf(PlistValue(PlistArray{PlistValue(12)})), 0);
    PlistValue noField(PlistDictionary{{"modifierFlags", PlistValue(1)}});
    EXPECT_EQ(shortcutField(&noField, "keyCode"), 0);
    PlistValue notADictionary(12);
    EXPECT_EQ(shortcutField(&notADictionary, "keyCode"), 0);
    EXPECT_EQ(shortcutField(nullptr, "keyCode"), 0);
}

} // namespace
} // namespace velmora
