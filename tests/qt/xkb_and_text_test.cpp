// SPDX-License-Identifier: MIT
// Layout IDs from _XKB_RULES_NAMES, the text clean-up every X property goes through, the
// window bounds grown or shrunk by the extents a client sets, and the image taken from the
// icons a window sets.

#include "x11/text_encoding.h"
#include "x11/window_facts.h"
#include "x11/window_icon.h"
#include "x11/xkb_layout_ids.h"

#include <cstdint>
#include <functional>
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

TEST(XkbLayoutIds, OneIdPerGroupWithItsVariant) {
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

TEST(XkbLayoutIds, TheLatinGroupIsTheKeymapsFirstUs) {
    auto layouts = parseXkbRulesNames(rulesNames({"evdev", "pc105", "ru,us,us", ",dvorak,"}));
    EXPECT_EQ(latinGroupFor(layouts, 3), 1u);
    EXPECT_EQ(latinGroupFor(layouts, 1), std::nullopt); // the keymap has only "ru"
    EXPECT_EQ(latinGroupFor(parseXkbRulesNames(rulesNames({"evdev", "pc105", "de,ru"})), 2),
              std::nullopt);
}

TEST(XkbLayoutIds, BadgesNameDescribedGroupsOnly) {
    auto gaps = parseXkbRulesNames(rulesNames({"evdev", "", "us,,de", "intl,,nodeadkeys"}));
    EXPECT_EQ(badgeIconRefFor(gaps, 0), "velmora-badge:us(intl)");
    EXPECT_EQ(badgeIconRefFor(gaps, 1), std::nullopt); // an empty layout names nothing
    EXPECT_EQ(badgeIconRefFor(gaps, 2), "velmora-badge:de(nodeadkeys)");
    EXPECT_EQ(badgeIconRefFor(gaps, 3), std::nullopt); // beyond what the property says
    EXPECT_EQ(badgeIconRefFor(parseXkbRulesNames(rulesNames({"evdev", "pc105", "ru"})), 0),
              "velmora-badge:ru");
}

// NUL-separated lists split and joined again: the x11_properties fuzz target.
TEST(TextEncoding, InvalidUtf8ReplacedAndLegacyTextConverted) {
    EXPECT_EQ(sanitizeUtf8("Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"),
              "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(sanitizeUtf8("a\xFF"
                           "b"),
              "a\xEF\xBF\xBD"
              "b");
    // Every byte of an ill-formed sequence (see Utf8.OnlyWellFormedSequences) is replaced.
    EXPECT_EQ(sanitizeUtf8("ok\xE2\x82"), "ok\xEF\xBF\xBD\xEF\xBF\xBD");
    // Legacy text is UTF-8 when it decodes so, else Latin-1.
    EXPECT_EQ(legacyTextToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(legacyTextToUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(latin1ToUtf8("\xFF\x41"), "\xC3\xBF"
                                        "A");
}

TEST(WindowBounds, ExtentsGrowOrShrinkTheBounds) {
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

// A _NET_WM_ICON value of SIZE words, word I being WORD(I), read as the server hands it out;
// READ counts the words handed out; after READS_LEFT reads the window is gone.
struct IconProperty {
    std::uint64_t size;
    std::function<std::uint32_t(std::uint64_t)> word;
    std::uint64_t read = 0;
    int readsLeft = -1;
    std::optional<WindowIcon> choose(std::uint32_t wanted) {
        return chooseWindowIcon(
            [this](std::uint32_t offset, std::uint32_t count) -> std::optional<PropertyWordSpan> {
                if (readsLeft-- == 0)
                    return std::nullopt;
                PropertyWordSpan span;
                for (std::uint64_t i = offset; i < std::min<std::uint64_t>(size, offset + count);
                     ++i)
                    span.words.push_back(word(i));
                read += span.words.size();
                span.wordsAfter = size - std::min<std::uint64_t>(size, offset + span.words.size());
                return span;
            },
            wanted);
    }
};

// Images of the given sides, each pixel of an image holding its side; then EXTRA words.
IconProperty squareIcons(std::vector<std::uint32_t> sides, std::vector<std::uint32_t> extra = {}) {
    auto words = std::make_shared<std::vector<std::uint32_t>>();
    for (std::uint32_t side : sides) {
        words->insert(words->end(), {side, side});
        words->insert(words->end(), std::size_t{side} * side, side);
    }
    words->insert(words->end(), extra.begin(), extra.end());
    return {words->size(), [words](std::uint64_t i) { return (*words)[i]; }};
}

// Which image is taken; lists cut short, with sizes past 64 bits, too many images or 100 MB
// read no more than their headers and the image taken: the x11_properties fuzz target.
TEST(WindowIcons, TheLargestNotOverTheWantedSideIsTaken) {
    struct Case {
        const char* what;
        IconProperty property;
        std::uint32_t wanted;
        std::optional<std::uint32_t> side; // of the image taken; none: no icon
    };
    std::vector<Case> cases;
    cases.push_back({"the largest that fits", squareIcons({48, 16, 32}), 40, 32});
    cases.push_back({"one that fits exactly", squareIcons({48, 16, 32}), 16, 16});
    cases.push_back({"none fits: the smallest", squareIcons({48, 128, 32}), 20, 32});
    cases.push_back({"cut short after a whole one", squareIcons({16}, {32, 32, 7}), 40, 16});
    cases.push_back({"a size of 0 ends the list", squareIcons({16}, {0, 5, 9, 9}), 20, 16});
    cases.push_back({"too large a side is skipped", squareIcons({2000, 24}), 20, 24});
    for (Case& c : cases) {
        const std::optional<WindowIcon> icon = c.property.choose(c.wanted);
        ASSERT_EQ(icon.has_value(), c.side.has_value()) << c.what;
        // Nothing is read but the first block, the headers and the pixels taken.
        EXPECT_LE(c.property.read,
                  kWindowIconFirstRead + 2 * kMaxWindowIconImages + (icon ? icon->argb.size() : 0))
            << c.what;
        if (!icon)
            continue;
        EXPECT_EQ(icon->width, *c.side) << c.what;
        EXPECT_EQ(icon->height, *c.side) << c.what;
        ASSERT_EQ(icon->argb.size(), std::size_t{*c.side} * *c.side) << c.what;
        EXPECT_EQ(icon->argb.front(), *c.side) << c.what;
    }
    // A window gone between the reads gives nothing.
    auto gone = squareIcons({2000, 24});
    gone.readsLeft = 1;
    EXPECT_FALSE(gone.choose(20));
}

} // namespace
} // namespace velmora::x11
