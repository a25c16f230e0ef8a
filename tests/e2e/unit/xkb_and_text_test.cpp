// Layout IDs from _XKB_RULES_NAMES, the text clean-up every X property goes through, and the
// window bounds grown or shrunk by the extents a client sets.

#include "text_encoding.h"
#include "window_facts.h"
#include "xkb_layout_ids.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace velmora::x11 {
namespace {

std::string rulesNames(std::initializer_list<const char*> fields) {
    std::string bytes;
    for (const char* field : fields) {
        bytes += field;
        bytes += '\0';
    }
    return bytes;
}

TEST(XkbLayoutIds, OneIdPerGroupWithItsVariantWhateverFieldsAreMissingOrShort) {
    auto layouts = parseXkbRulesNames(
        rulesNames({"evdev", "pc105", "us,de,ru", ",nodeadkeys,", "grp:alt_shift_toggle"}));
    EXPECT_EQ(inputSourceIdsForGroups(layouts, 3),
              (std::vector<std::string>{"xkb:us", "xkb:de(nodeadkeys)", "xkb:ru"}));
    // More layouts than groups are cut to the keymap.
    EXPECT_EQ(inputSourceIdsForGroups(layouts, 1), (std::vector<std::string>{"xkb:us"}));
    // No variants field, and no final NUL.
    EXPECT_EQ(
        inputSourceIdsForGroups(parseXkbRulesNames(std::string("evdev\0pc105\0us,fr", 17)), 3),
        (std::vector<std::string>{"xkb:us", "xkb:fr", "xkb:group3"}));
    // No property at all, or one without layouts.
    EXPECT_EQ(inputSourceIdsForGroups(parseXkbRulesNames(""), 2),
              (std::vector<std::string>{"xkb:group1", "xkb:group2"}));
    EXPECT_TRUE(parseXkbRulesNames(rulesNames({"evdev", "pc105", ""})).empty());
    // Fewer variants than layouts; an empty layout between others.
    auto gaps = parseXkbRulesNames(rulesNames({"evdev", "", "us,,de", "intl"}));
    EXPECT_EQ(inputSourceIdsForGroups(gaps, 3),
              (std::vector<std::string>{"xkb:us(intl)", "xkb:group2", "xkb:de"}));
}

TEST(XkbLayoutIds, TheLatinGroupIsTheKeymapsFirstUsAndBadgesNameDescribedGroupsOnly) {
    auto layouts = parseXkbRulesNames(rulesNames({"evdev", "pc105", "ru,us,us", ",dvorak,"}));
    EXPECT_EQ(latinGroupFor(layouts, 3), 1u);
    EXPECT_EQ(latinGroupFor(layouts, 1), std::nullopt); // the keymap has only "ru"
    EXPECT_EQ(latinGroupFor(parseXkbRulesNames(rulesNames({"evdev", "pc105", "de,ru"})), 2),
              std::nullopt);
    // Badges name the layout and variant of described groups only.
    auto gaps = parseXkbRulesNames(rulesNames({"evdev", "", "us,,de", "intl,,nodeadkeys"}));
    EXPECT_EQ(badgeIconRefFor(gaps, 0), "velmora-badge:us(intl)");
    EXPECT_EQ(badgeIconRefFor(gaps, 1), std::nullopt); // an empty layout names nothing
    EXPECT_EQ(badgeIconRefFor(gaps, 2), "velmora-badge:de(nodeadkeys)");
    EXPECT_EQ(badgeIconRefFor(gaps, 3), std::nullopt); // beyond what the property says
    EXPECT_EQ(badgeIconRefFor(parseXkbRulesNames(rulesNames({"evdev", "pc105", "ru"})), 0),
              "velmora-badge:ru");
}

TEST(TextEncoding, InvalidUtf8ReplacedLegacyTextConvertedAndNulSeparatedStringsSplit) {
    EXPECT_EQ(sanitizeUtf8("Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"),
              "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(sanitizeUtf8("a\xFF"
                           "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(sanitizeUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");                 // overlong "/"
    EXPECT_EQ(sanitizeUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"); // surrogate
    EXPECT_EQ(sanitizeUtf8("ok\xE2\x82"), "ok\xEF\xBF\xBD\xEF\xBF\xBD");             // cut short
    // Legacy text is UTF-8 when it decodes so, else Latin-1.
    EXPECT_EQ(legacyTextToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(legacyTextToUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(latin1ToUtf8("\xFF\x41"), "\xC3\xBF"
                                        "A");
    // Lists of NUL-separated strings, with or without the last NUL.
    EXPECT_EQ(splitNulSeparated(std::string("xterm\0XTerm\0", 12)),
              (std::vector<std::string>{"xterm", "XTerm"}));
    EXPECT_EQ(splitNulSeparated(std::string("xterm\0XTerm", 11)),
              (std::vector<std::string>{"xterm", "XTerm"}));
    EXPECT_EQ(splitNulSeparated(std::string("\0Only", 5)), (std::vector<std::string>{"", "Only"}));
    EXPECT_TRUE(splitNulSeparated("").empty());
}

TEST(WindowBounds, ExtentsGrowOrShrinkAndHoldAtTheEndsOfTheRange) {
    const std::vector<std::uint32_t> extents{1, 2, 3, 4};
    const WindowBounds grown = boundsWithExtents(10, 20, 100, 50, extents, false);
    EXPECT_EQ(std::vector({grown.x, grown.y, grown.width, grown.height}),
              std::vector({9, 17, 103, 57}));
    const WindowBounds shrunk = boundsWithExtents(10, 20, 2, 50, extents, true);
    EXPECT_EQ(std::vector({shrunk.x, shrunk.y, shrunk.width, shrunk.height}),
              std::vector({11, 23, 0, 43}));
    // An origin and a size at the ends of 64 bits, pushed further by the extents.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    const std::vector<std::uint32_t> huge(4, 0xffffffff);
    const WindowBounds far = boundsWithExtents(kMin, kMin, kMax, kMax, huge, false);
    EXPECT_EQ(std::vector({far.x, far.y, far.width, far.height}),
              std::vector({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}));
    const WindowBounds none = boundsWithExtents(kMax, kMax, kMin, kMin, huge, true);
    EXPECT_EQ(std::vector({none.x, none.y, none.width, none.height}),
              std::vector({INT32_MAX, INT32_MAX, 0, 0}));
}

} // namespace
} // namespace velmora::x11
