// SPDX-License-Identifier: MIT
#include "sim_images.h"

namespace velmora::sim {

ImagePtr SimImages::make(const std::string& name) {
    auto it = icons.find(name);
    if (it == icons.end())
        return nullptr;
    return std::make_shared<SimImage>(
        name, Size{static_cast<double>(it->second.width), static_cast<double>(it->second.height)});
}

ImagePtr SimImages::imageWithIconRef(const std::string& iconRef) {
    return make(iconRef);
}

ImagePtr SimImages::imageWithContentsOfURL(const std::string& url) {
    return make(url);
}

std::optional<std::vector<std::uint8_t>> SimImages::copyFirstImagePixelBytes(const Image& image) {
    auto* simImage = dynamic_cast<const SimImage*>(&image);
    if (!simImage)
        return std::nullopt;
    auto it = icons.find(simImage->name());
    if (it == icons.end())
        return std::nullopt;
    const SimIcon& icon = it->second;
    const auto width = static_cast<std::int64_t>(simImage->size().width);
    const auto height = static_cast<std::int64_t>(simImage->size().height);
    const bool complete = icon.pixels.size() >= static_cast<std::size_t>(icon.width) *
                                                    static_cast<std::size_t>(icon.height) * 4;
    if (!simImage->redrawn() || (width == icon.width && height == icon.height) || width <= 0 ||
        height <= 0 || width > kMaxRedrawnSide || height > kMaxRedrawnSide || icon.width <= 0 ||
        icon.height <= 0 || !complete)
        return icon.pixels;
    // A redrawn image: each of its pixels takes the icon's pixel it falls on.
    std::vector<std::uint8_t> pixels;
    pixels.reserve(static_cast<std::size_t>(width * height * 4));
    for (std::int64_t y = 0; y < height; ++y) {
        const std::int64_t sourceY = y * icon.height / height;
        for (std::int64_t x = 0; x < width; ++x) {
            const std::int64_t sourceX = x * icon.width / width;
            const auto at = static_cast<std::size_t>((sourceY * icon.width + sourceX) * 4);
            pixels.insert(pixels.end(), icon.pixels.begin() + static_cast<std::ptrdiff_t>(at),
                          icon.pixels.begin() + static_cast<std::ptrdiff_t>(at + 4));
        }
    }
    return pixels;
}

ImagePtr SimImages::scaledImage(const Image& source, Size size) {
    auto* simImage = dynamic_cast<const SimImage*>(&source);
    return std::make_shared<SimImage>(simImage ? simImage->name() : std::string("image"), size,
                                      true);
}

ImagePtr SimImages::imageNamed(const std::string& name) {
    if (ImagePtr icon = make(name))
        return icon;
    return std::make_shared<SimImage>(name, Size{18, 18});
}

} // namespace velmora::sim
