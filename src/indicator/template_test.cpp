// SPDX-License-Identifier: MIT
#include "indicator/template_test.h"

#include <algorithm>
#include <limits>

namespace velmora {

namespace {

constexpr std::size_t kBytesPerPixel = 4;

// A size in points as a whole number of pixels: the fraction dropped, NaN and values at or
// below zero as 0 (nothing to scan), huge values capped (they fail the length check anyway).
std::int64_t wholePixels(double points) {
    if (!(points > 0))
        return 0;
    constexpr double cap = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int64_t>(std::min(points, cap));
}

} // namespace

namespace {

int spreadSum(const std::uint8_t* minimum, const std::uint8_t* maximum, int channels) {
    int spread = 0;
    for (int c = 0; c < channels; ++c)
        spread += maximum[c] - minimum[c];
    return spread;
}

// Spreads only grow as pixels are added, so once the limit is reached the answer is known:
// coloured icons stop after their first rows.
template <int Channels>
bool scanIsGlyph(const std::uint8_t* pixels, std::size_t width, std::size_t height) {
    std::uint8_t minimum[Channels];
    std::uint8_t maximum[Channels];
    for (int c = 0; c < Channels; ++c) {
        minimum[c] = 255;
        maximum[c] = 0;
    }
    for (std::size_t row = 0; row < height; ++row) {
        const std::uint8_t* pixel = pixels + row * width * kBytesPerPixel;
        for (std::size_t k = 0; k < width; ++k, pixel += kBytesPerPixel) {
            for (int c = 0; c < Channels; ++c) {
                minimum[c] = std::min(minimum[c], pixel[c]);
                maximum[c] = std::max(maximum[c], pixel[c]);
            }
        }
        if (spreadSum(minimum, maximum, Channels) >= kTemplateSpreadLimit)
            return false;
    }
    return spreadSum(minimum, maximum, Channels) < kTemplateSpreadLimit;
}

} // namespace

bool templateTest(std::span<const std::uint8_t> pixels, std::int64_t width, std::int64_t height,
                  int channels) {
    if (width <= 0 || height <= 0)
        return false;
    // Whether width x height x 4 bytes are there, asked without overflowing.
    const auto w = static_cast<std::uint64_t>(width);
    const auto h = static_cast<std::uint64_t>(height);
    const std::uint64_t available = pixels.size() / kBytesPerPixel;
    if (w > available || h > available / w)
        return false;
    switch (std::clamp(channels, 0, 3)) {
    case 0:
        return true;
    case 1:
        return scanIsGlyph<1>(pixels.data(), w, h);
    case 2:
        return scanIsGlyph<2>(pixels.data(), w, h);
    default:
        return scanIsGlyph<3>(pixels.data(), w, h);
    }
}

bool canTemplate(Images& images, const Image* image, int channels) {
    if (!image)
        return false;
    auto pixels = images.copyFirstImagePixelBytes(*image);
    if (!pixels)
        return false;
    const Size size = image->size();
    return templateTest(*pixels, wholePixels(size.width), wholePixels(size.height), channels);
}

ImagePtr scaleImageToSize(Images& images, const ImagePtr& image, double width, double height) {
    if (!image)
        return nullptr;
    return images.scaledImage(*image, Size{width, height});
}

} // namespace velmora
