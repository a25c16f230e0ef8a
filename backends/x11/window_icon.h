// SPDX-License-Identifier: MIT
#pragma once
// The icon a window gives itself in _NET_WM_ICON: a list of images, each its width, its height
// and then width x height pixels, one 32-bit non-premultiplied ARGB value each, row by row.
// Any client sets it, so it is read in bounded pieces: the headers one by one, then only the
// pixels of the image chosen. A property of 100 MB costs a few small requests, never its size.

#include "x11_connection.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace velmora::x11 {

struct WindowIcon {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> argb; // width x height values
};

// Part of a property's value: the 32-bit words from an offset, and how many follow them.
struct PropertyWordSpan {
    std::vector<std::uint32_t> words;
    std::uint64_t wordsAfter = 0;
};
// Reads at most COUNT words of the property from word OFFSET; none when the property is gone,
// not of 32-bit format, or cannot be read.
using ReadPropertyWords =
    std::function<std::optional<PropertyWordSpan>(std::uint32_t offset, std::uint32_t count)>;

// Images larger than this on a side are never read.
inline constexpr std::uint32_t kMaxWindowIconSide = 1024;
// Images looked at, at most: a property listing more is read no further.
inline constexpr int kMaxWindowIconImages = 64;
// The first request takes this many words at once, which holds all the images of most windows.
inline constexpr std::uint32_t kWindowIconFirstRead = 16 * 1024;

// The image of the largest side (the larger of width and height) not over WANTEDSIDE pixels;
// without one, the smallest above it. None when the property holds no complete image of at most
// kMaxWindowIconSide a side. Images whose stated size runs past the property's end, a size of
// zero, and sizes whose product does not fit are never taken; what follows an image that runs
// past the end is not looked at.
std::optional<WindowIcon> chooseWindowIcon(const ReadPropertyWords& read, std::uint32_t wantedSide);

// The icon WINDOW gives itself, read through CONNECTION as above. Any thread.
std::optional<WindowIcon> readWindowIcon(X11Connection& connection, xcb_window_t window,
                                         std::uint32_t wantedSide);

} // namespace velmora::x11
