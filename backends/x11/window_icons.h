// SPDX-License-Identifier: MIT
#pragma once
// The icons applications without a desktop file (or whose desktop file names no icon that can
// be found) show: the one their windows give themselves in _NET_WM_ICON, read once per
// application and kept until a window of it sets another. Main thread.

#include "x11_connection.h"

#include "platform/images.h"

#include <cstdint>
#include <map>
#include <string>

namespace velmora::x11 {

class WindowIcons {
  public:
    // ICONS makes the images; WANTEDPIXELS is the side icons are drawn at, in pixels: the
    // largest image not over it is taken.
    WindowIcons(X11Connection& connection, Images& icons, std::uint32_t wantedPixels)
        : connection_(connection), icons_(icons), wantedPixels_(wantedPixels) {}
    WindowIcons(const WindowIcons&) = delete;
    WindowIcons& operator=(const WindowIcons&) = delete;

    // The icon of the application KEY, read from WINDOW (one of its windows) unless kept;
    // without a window only what is kept. nullptr when there is none.
    ImagePtr iconOf(const std::string& key, xcb_window_t window);
    // A window of the application KEY set another icon.
    void forget(const std::string& key) { kept_.erase(key); }

    // Applications whose icons are kept at most; a full store starts again.
    static constexpr std::size_t kMaxKept = 256;

  private:
    X11Connection& connection_;
    Images& icons_;
    std::uint32_t wantedPixels_;
    std::map<std::string, ImagePtr> kept_; // nullptr: read, and none there
};

} // namespace velmora::x11
