// SPDX-License-Identifier: MIT
#include "window_icons.h"

#include "window_icon.h"

namespace velmora::x11 {

ImagePtr WindowIcons::iconOf(const std::string& key, xcb_window_t window) {
    if (auto kept = kept_.find(key); kept != kept_.end())
        return kept->second;
    if (window == XCB_WINDOW_NONE)
        return nullptr;
    ImagePtr image;
    if (auto icon = readWindowIcon(connection_, window, wantedPixels_))
        image = icons_.imageWithARGBPixels(icon->width, icon->height, icon->argb);
    if (kept_.size() >= kMaxKept)
        kept_.clear();
    kept_[key] = image;
    return image;
}

} // namespace velmora::x11
