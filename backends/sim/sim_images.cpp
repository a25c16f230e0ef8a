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
    return it->second.pixels;
}

ImagePtr SimImages::scaledImage(const Image& source, Size size) {
    auto* simImage = dynamic_cast<const SimImage*>(&source);
    return std::make_shared<SimImage>(simImage ? simImage->name() : std::string("image"), size);
}

ImagePtr SimImages::imageNamed(const std::string& name) {
    if (ImagePtr icon = make(name))
        return icon;
    return std::make_shared<SimImage>(name, Size{18, 18});
}

} // namespace velmora::sim
