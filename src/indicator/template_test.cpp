#include "indicator/template_test.h"

#include <algorithm>
#include <cmath>
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
    channels = std::clamp(channels, 0, 3);

    std::uint8_t minimum[3] = {255, 255, 255};
    std::uint8_t maximum[3] = {0, 0, 0};
    const std::size_t count = static_cast<std::size_t>(w * h);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* pixel = pixels.data() + i * kBytesPerPixel;
        for (int c = 0; c < channels; ++c) {
            minimum[c] = std::min(minimum[c], pixel[c]);
            maximum[c] = std::max(maximum[c], pixel[c]);
        }
    }
    int spread = 0;
    for (int c = 0; c < channels; ++c)
        spread += std::abs(static_cast<int>(maximum[c]) - static_cast<int>(minimum[c]));
    return spread < kTemplateSpreadLimit;
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
