// SPDX-License-Identifier: MIT
#include "indicator/indicator.h"

#include "detection/window_entry.h"
#include "indicator/template_test.h"

#include <algorithm>
#include <cstdint>

namespace velmora {

void Indicator::applyWindowProperties() {
    if (views_.window)
        views_.window->applyIndicatorProperties();
}

void Indicator::setUpContentAndPosition() {
    if (!settings_.boolForKey(keys::kEnableTipOfState)) {
        // The window keeps the position the layout gives it.
        hideViews();
        return;
    }
    showCurrentIcon();
    if (views_.window)
        views_.window->setFrameOrigin(
            Point{static_cast<double>(startMargin_),
                  originScreenHeight() - kStartOffsetFromTop - startMargin_});
}

void Indicator::adjustIconView() {
    const auto& rect = frames_.firstWindowFrame;
    const std::int64_t x = boundsWholeNumber(rect, boundsKey::kX);
    const std::int64_t y = boundsWholeNumber(rect, boundsKey::kY);
    const std::int64_t width = boundsWholeNumber(rect, boundsKey::kWidth);
    const std::int64_t height = boundsWholeNumber(rect, boundsKey::kHeight);
    // Window rectangles have their origin at the top left; the indicator's origin is its
    // bottom-left corner with the origin at the bottom left. The screen at the origin flips
    // between them, on whatever screen the window is.
    const double screenHeight = originScreenHeight();
    Point origin;
    if (launchers_.launcherPanelOpen()) {
        origin.x = static_cast<double>(x + width - kPanelInset);
        origin.y = screenHeight - static_cast<double>(y) - kPanelInset;
    } else {
        origin.x = static_cast<double>(x + width - kWindowInsetRight);
        origin.y = screenHeight - static_cast<double>(y + height) + kWindowLiftBottom;
    }
    if (views_.window)
        views_.window->setFrameOrigin(origin);
}

void Indicator::inputSourceChanged() {
    if (settings_.boolForKey(keys::kEnableTipOfState))
        showCurrentIcon();
    else
        hideViews();
}

void Indicator::showCurrentIcon() {
    if (views_.iconView)
        views_.iconView->setHidden(false);
    if (views_.iconBox)
        views_.iconBox->setHidden(false);
    ImagePtr icon = getCurrentInputIcon();
    if (views_.iconView)
        views_.iconView->setImage(std::move(icon));
}

void Indicator::hideViews() {
    if (views_.iconView)
        views_.iconView->setHidden(true);
    if (views_.iconBox)
        views_.iconBox->setHidden(true);
}

ImagePtr Indicator::currentInputImage() {
    auto source = inputSources_.currentSource();
    if (!source)
        return nullptr;
    // The icon reference wins; the image file is the fallback only when there is none.
    if (source->iconRef)
        return images_.imageWithIconRef(*source->iconRef);
    if (source->iconImageURL)
        return images_.imageWithContentsOfURL(*source->iconImageURL);
    return nullptr;
}

ImagePtr Indicator::getCurrentInputIcon() {
    ImagePtr image = currentInputImage();
    const bool glyph = canTemplate(image.get());
    if (views_.iconBox)
        views_.iconBox->setHidden(!glyph);
    if (!glyph)
        return image;
    return scaleImageToSize(image, kTemplateIconSide, kTemplateIconSide);
}

bool Indicator::canTemplate(const Image* image) {
    return velmora::canTemplate(images_, image, kTemplateChannels);
}

ImagePtr Indicator::scaleImageToSize(const ImagePtr& image, double width, double height) {
    return velmora::scaleImageToSize(images_, image, width, height);
}

bool Indicator::isTextCursorName(std::string_view name) {
    return std::find(kTextCursorNames.begin(), kTextCursorNames.end(), name) !=
           kTextCursorNames.end();
}

bool Indicator::isTextCursor() {
    // A named cursor that is no I-beam still gets the hot spot test: a theme may name its
    // I-beam in a way of its own yet keep the usual hot spot.
    if (auto name = cursor_.currentSystemCursorName(); name && isTextCursorName(*name))
        return true;
    auto hotSpot = cursor_.currentSystemCursorHotSpot();
    return hotSpot && *hotSpot == kTextCursorHotSpot;
}

double Indicator::originScreenHeight() {
    auto screen = screens_.originScreen();
    return screen ? screen->frame.size.height : 0.0;
}

} // namespace velmora
