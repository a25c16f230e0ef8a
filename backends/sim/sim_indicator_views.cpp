// SPDX-License-Identifier: MIT
#include "sim_indicator_views.h"

#include "sim_images.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace velmora::sim {

std::string formatNumber(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char buf[32];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, value);
        if (std::strtod(buf, nullptr) == value)
            break;
    }
    return buf;
}

std::string describeImage(const ImagePtr& image) {
    if (!image)
        return "none";
    auto* simImage = dynamic_cast<const SimImage*>(image.get());
    std::string name = simImage ? simImage->name() : "image";
    Size size = image->size();
    return name + "@" + formatNumber(size.width) + "x" + formatNumber(size.height);
}

void SimIndicatorWindow::applyIndicatorProperties() {
    trace_.emit("indicator setup");
}

void SimIndicatorWindow::setFrameOrigin(Point origin) {
    origin_ = origin;
    trace_.emit("indicator origin " + formatNumber(origin.x) + " " + formatNumber(origin.y));
}

void SimIconView::setHidden(bool hidden) {
    hidden_ = hidden;
    trace_.emit(std::string("iconView ") + (hidden ? "hidden" : "shown"));
}

void SimIconView::setImage(ImagePtr image) {
    image_ = std::move(image);
    if (!image_) {
        trace_.emit("indicator image none");
        return;
    }
    std::string described = describeImage(image_);
    auto at = described.rfind('@');
    trace_.emit("indicator image " + described.substr(0, at) + " " + described.substr(at + 1));
}

void SimIconBox::setHidden(bool hidden) {
    hidden_ = hidden;
    trace_.emit(std::string("iconBox ") + (hidden ? "hidden" : "shown"));
}

} // namespace velmora::sim
