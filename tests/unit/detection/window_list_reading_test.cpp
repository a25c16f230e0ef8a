// SPDX-License-Identifier: MIT
// Reading the window server's loosely typed entries, and the two front-window lookups.

#include "detection/launcher_panels.h"
#include "detection/window_entry.h"
#include "detection/window_frame_lookup.h"
#include "platform/window_list.h"

#include <gtest/gtest.h>

#include <limits>

namespace velmora {
namespace {

PlistDictionary rect(PlistValue x, PlistValue y, PlistValue w, PlistValue h) {
    return {{"X", x}, {"Y", y}, {"Width", w}, {"Height", h}};
}

PlistValue entry(const char* owner, std::optional<const char*> name, int layer,
                 PlistDictionary bounds, bool onscreen = true) {
    PlistDictionary e{{kWindowOwnerNameKey, owner},
                      {kWindowLayerKey, layer},
                      {kWindowBoundsKey, PlistValue(std::move(bounds))},
                      {kWindowIsOnscreenKey, onscreen}};
    if (name)
        e[kWindowNameKey] = *name;
    return PlistValue(std::move(e));
}

TEST(WindowEntry, MistypedOrMissingValuesReadAsAbsent) {
    const PlistValue notADictionary("Safari");
    const PlistValue mistyped(PlistDictionary{{kWindowOwnerNameKey, 7},
                                              {kWindowNameKey, false},
                                              {kWindowIsOnscreenKey, "yes"},
                                              {kWindowLayerKey, "27"},
                                              {kWindowBoundsKey, PlistArray{1, 2, 3, 4}}});
    for (const PlistValue* e : {&notADictionary, &mistyped}) {
        EXPECT_EQ(windowOwnerName(*e), nullptr);
        EXPECT_TRUE(windowNameIsNotEmpty(*e)); // only a title that is "" fails
        EXPECT_FALSE(windowIsOnscreen(*e));
        EXPECT_EQ(windowLayer(*e), 0);
        EXPECT_EQ(windowBounds(*e), nullptr);
        EXPECT_FALSE(isSpotlightPanel(*e));
        EXPECT_FALSE(isAlfredPanel(*e));
    }
    // Numbers stand in for the flag and the layer, as the window server's numbers do.
    const PlistValue numeric(PlistDictionary{{kWindowIsOnscreenKey, 1}, {kWindowLayerKey, 27.9}});
    EXPECT_TRUE(windowIsOnscreen(numeric));
    EXPECT_EQ(windowLayer(numeric), 27);
}

// Fractions dropped (-100.7, 300.9): detection-bad-input.scenario.
TEST(WindowEntry, BoundsReadAsWholeNumbersHeldInRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const PlistDictionary b = rect(0, 0, 1e12, PlistValue(nan));
    EXPECT_EQ(boundsWholeNumber(&b, boundsKey::kWidth), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(boundsWholeNumber(&b, boundsKey::kHeight), 0);
    const PlistDictionary odd{{"X", "12"}, {"Y", PlistValue(std::int64_t{-1} << 40)}};
    EXPECT_EQ(boundsWholeNumber(&odd, boundsKey::kX), 0);
    EXPECT_EQ(boundsWholeNumber(&odd, boundsKey::kY), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(boundsWholeNumber(&odd, boundsKey::kWidth), 0);
    EXPECT_EQ(boundsWholeNumber(std::optional<PlistDictionary>(), boundsKey::kX), 0);
}

TEST(WindowLookup, ByPrefixSkipsEmptyTitlesAndHiddenWindowsButNotLayers) {
    const PlistArray windows{
        entry("Safari", "", 0, rect(1, 0, 0, 0)),             // empty title
        entry("Safari", "Start", 0, rect(2, 0, 0, 0), false), // off screen
        entry("Safari Technology Preview", std::nullopt, 3, rect(3, 0, 0, 0)),
        entry("Safari", "Start", 0, rect(4, 0, 0, 0)),
    };
    auto found = getFrameOfFirstWindow(windows, "Safari");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->at("X"), PlistValue(3)); // a longer owner name and no title both pass
    EXPECT_FALSE(getFrameOfFirstWindow(windows, "Chrome"));
    EXPECT_FALSE(getFrameOfFirstWindow(windows, "")); // an empty name identifies nothing
}

// No match for an empty name: detection-bad-input.scenario.
TEST(WindowLookup, ByNameNeedsTheExactOwnerOnLayerZero) {
    const PlistArray windows{
        entry("Safari Technology Preview", "Start", 0, rect(1, 0, 0, 0)),
        entry("Safari", "Toolbar", 3, rect(2, 0, 0, 0)),
        entry("Safari", "", 0, rect(3, 0, 0, 0)),
        entry("Safari", std::nullopt, 0, rect(4, 0, 0, 0)),
        entry("Safari", "Start", 0, rect(5, 0, 0, 0)),
    };
    auto found = getFrameOfFirstWindowNamed(windows, "Safari");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->at("X"), PlistValue(4));
}

TEST(WindowLookup, TheFirstMatchDecidesEvenWithoutBounds) {
    PlistDictionary noBounds{{kWindowOwnerNameKey, "Editor"}, {kWindowIsOnscreenKey, true}};
    const PlistArray windows{PlistValue(noBounds), entry("Editor", "doc", 0, rect(9, 9, 9, 9))};
    EXPECT_FALSE(getFrameOfFirstWindow(windows, "Editor"));
    EXPECT_FALSE(getFrameOfFirstWindowNamed(windows, "Editor"));
}

TEST(LauncherPanels, SpotlightNeedsWidthOf101AndAlfredLayer27) {
    // Widths of 100.9 and 101, off screen and the Chinese name are in launcher-spotlight.scenario.
    EXPECT_TRUE(isSpotlightPanel(entry(kSpotlightOwnerNameChinese, "", 0, rect(0, 0, 101.2, 1))));
    EXPECT_FALSE(isSpotlightPanel(entry("Spotlight Helper", std::nullopt, 0, rect(0, 0, 600, 1))));

    EXPECT_TRUE(isAlfredPanel(entry("Alfred Preferences", "", 27, rect(0, 0, 0, 0))));
    EXPECT_FALSE(isAlfredPanel(entry("Alfred", "", 26, rect(0, 0, 600, 60))));
    EXPECT_FALSE(isAlfredPanel(entry("alfred", "", 27, rect(0, 0, 600, 60))));
    EXPECT_FALSE(isAlfredPanel(entry("Alfred", "", 27, rect(0, 0, 600, 60), false)));
}

// Which releases stop the open poll: launcher-alfred.scenario (0x100, 0x10100, 0x800100).
TEST(LauncherPanels, OnlyTheReleaseValuesAreReleases) {
    EXPECT_TRUE(isModifierReleaseValue(0x810100ull) && !releaseStopsOpenPoll(0x810100ull));
    for (std::uint64_t flags : {0x0ull, 0x100108ull, 0x20102ull, 0x110100ull, 0x10000ull})
        EXPECT_FALSE(isModifierReleaseValue(flags)) << flags;
}

} // namespace
} // namespace velmora
