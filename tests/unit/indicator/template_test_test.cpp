// SPDX-License-Identifier: MIT
// The template test: which bytes count, how rows are laid out, and images whose pixels are
// not all there.

#include "app/popover_view_controller.h"
#include "indicator/template_test.h"
#include "sim/sim_images.h"
#include "sim_desktop.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace velmora {
namespace {

using Pixel = std::array<std::uint8_t, 4>;

std::vector<std::uint8_t> pixels(std::initializer_list<Pixel> list) {
    std::vector<std::uint8_t> out;
    for (const Pixel& p : list)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(TemplateTest, TheSpreadIsTakenOverTheColourBytesOfAllPixels) {
    // Spreads of 4 and 5 (a glyph) against 4 and 6 are in the indicator scenario. The spread
    // is max - min over all pixels, not neighbour to neighbour.
    EXPECT_FALSE(templateTest(pixels({{0, 0, 0, 0}, {5, 0, 0, 0}, {10, 0, 0, 0}}), 3, 1, 2));
    const auto blueish = pixels({{0, 0, 0, 0}, {0, 0, 200, 0}});
    EXPECT_TRUE(templateTest(blueish, 2, 1, 2));
    EXPECT_FALSE(templateTest(blueish, 2, 1, 3));
    const auto fading = pixels({{0, 0, 0, 0}, {0, 0, 0, 255}});
    EXPECT_TRUE(templateTest(fading, 2, 1, 3));
}

TEST(TemplateTest, RowsAreExactlyFourTimesTheWidthApart) {
    // A 2 x 2 image in a buffer with room for more: only the first 16 bytes are pixels, and
    // the coloured bytes after them are never looked at.
    auto bytes = pixels({{1, 1, 1, 0}, {2, 2, 2, 0}, {3, 3, 3, 0}, {4, 4, 4, 0}});
    auto more = pixels({{255, 255, 255, 255}, {0, 0, 0, 0}});
    bytes.insert(bytes.end(), more.begin(), more.end());
    EXPECT_TRUE(templateTest(bytes, 2, 2, 3));
    // Read as 3 x 2 the coloured bytes are inside the image.
    EXPECT_FALSE(templateTest(bytes, 3, 2, 3));
}

TEST(TemplateTest, ShortOrSizelessPixelDataIsNeverAGlyph) {
    const auto black = pixels({{0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}});
    EXPECT_TRUE(templateTest(black, 3, 1, 2));
    // The image claims more pixels than there are bytes: no read past the buffer, no glyph.
    // An exactly sized heap buffer lets the address sanitizer see any read past it.
    auto exact = std::make_unique<std::uint8_t[]>(black.size());
    std::copy(black.begin(), black.end(), exact.get());
    std::span<const std::uint8_t> span(exact.get(), black.size());
    EXPECT_FALSE(templateTest(span, 2, 2, 2));
    EXPECT_FALSE(templateTest(span.first(11), 3, 1, 2));
    EXPECT_FALSE(templateTest(span, std::int64_t{1} << 40, std::int64_t{1} << 40, 2));
    EXPECT_FALSE(templateTest(span, INT64_MAX, 1, 2));
    for (auto [w, h] : {std::pair{0, 1}, {1, 0}, {-3, 1}, {1, -3}})
        EXPECT_FALSE(templateTest(span, w, h, 2)) << w << "x" << h;
}

class ImageTemplateTest : public ::testing::Test {
  protected:
    ImagePtr image(const std::string& name, Size size) {
        return std::make_shared<sim::SimImage>(name, size);
    }
    sim::SimImages images;
};

TEST_F(ImageTemplateTest, TheSizeInPointsIsTruncated) {
    images.icons["two"] = sim::SimIcon{2, 1, pixels({{0, 0, 0, 0}, {0, 0, 0, 0}})};
    images.icons["twocolour"] = sim::SimIcon{2, 1, pixels({{0, 0, 0, 0}, {255, 0, 0, 0}})};
    // 1.9 x 1.9 points scan one pixel: the red second pixel is not reached.
    EXPECT_TRUE(canTemplate(images, image("twocolour", {1.9, 1.9}).get(), 2));
    EXPECT_FALSE(canTemplate(images, image("twocolour", {2.0, 1.0}).get(), 2));
    // Stated bigger than its pixels, of NaN size, or undecodable (no size and negative sizes:
    // detection-bad-input.scenario).
    EXPECT_FALSE(canTemplate(images, image("two", {2, 2}).get(), 2));
    EXPECT_FALSE(canTemplate(images, image("two", {NAN, 1}).get(), 2));
    EXPECT_FALSE(canTemplate(images, image("missing", {2, 1}).get(), 2));
    EXPECT_FALSE(canTemplate(images, nullptr, 2));
}

// Its icons rescaled without keeping the aspect: shortcut-table.scenario's 2 x 1 flag at 18 x 18.
TEST_F(ImageTemplateTest, ThePopoverTestsThreeBytes) {
    sim::SimDesktop desktop;
    desktop.images().icons["tinted"] = sim::SimIcon{2, 1, pixels({{0, 0, 0, 0}, {0, 0, 90, 0}})};
    images.icons["tinted"] = desktop.images().icons["tinted"];
    const ImagePtr tinted = image("tinted", {2, 1});
    Settings settings(desktop.rawStore());
    EditorLists lists;
    PopoverViewController controller(desktop.platform(), settings, lists, {});
    EXPECT_FALSE(controller.canTemplate(tinted.get()));
    EXPECT_TRUE(canTemplate(images, tinted.get(), 2));
}

} // namespace
} // namespace velmora
