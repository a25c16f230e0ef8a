// SPDX-License-Identifier: MIT
#pragma once
// The window server's list of on-screen windows.

#include "platform/property_list.h"

namespace velmora {

inline constexpr const char* kWindowOwnerNameKey = "kCGWindowOwnerName";
inline constexpr const char* kWindowNameKey = "kCGWindowName";
inline constexpr const char* kWindowIsOnscreenKey = "kCGWindowIsOnscreen";
inline constexpr const char* kWindowLayerKey = "kCGWindowLayer";
inline constexpr const char* kWindowBoundsKey = "kCGWindowBounds";
// Optional, in the shape of the bounds: the part of the window its application draws, where
// the bounds hold more (a frame the window manager draws around it, transparent margins for a
// shadow). Desktops whose windows are drawn edge to edge by their applications leave it out.
inline constexpr const char* kVelmoraWindowContentBounds = "velmoraWindowContentBounds";

class WindowList {
  public:
    WindowList() = default;
    WindowList(const WindowList&) = delete;
    WindowList& operator=(const WindowList&) = delete;
    virtual ~WindowList() = default;

    // A fresh snapshot of the on-screen windows, front to back. Each entry is a dictionary that
    // may hold "kCGWindowOwnerName" (string), "kCGWindowName" (string), "kCGWindowIsOnscreen"
    // (boolean), "kCGWindowLayer" (integer) and "kCGWindowBounds" (dictionary of "X", "Y",
    // "Width", "Height", top-left origin). Any key may be missing; readers must check types.
    // Empty when there are no windows. Safe to call from any thread.
    virtual PlistArray windowListSnapshot() = 0;
};

} // namespace velmora
