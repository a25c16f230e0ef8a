// SPDX-License-Identifier: MIT
#pragma once
// The text cursor of cursor themes, known by its picture. Toolkits that load cursors from a
// theme through libXcursor name them (XFixesSetCursorName); Chrome and Chromium load theme
// cursors with code of their own and leave them unnamed, so their I-beam ("xterm" in Adwaita,
// 24 x 24 with its hot spot at (11, 12)) shows neither a name nor the hot spot (4, 9). Such a
// cursor is recognised by comparing its size, hot spot and shape (the alpha of every pixel,
// which premultiplied and straight colours share) with the images of the themes' "xterm",
// "text" and "ibeam" files.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::x11 {

struct CursorShape {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t xhot = 0;
    std::uint32_t yhot = 0;
    std::vector<std::uint8_t> alpha; // width x height, row by row

    bool operator==(const CursorShape&) const = default;
};

// The images of an Xcursor file. What does not hold together (a short file, a table of
// contents or an image that runs past the end, an image over 1024 pixels on a side, a hot spot
// outside it) is skipped; a file that is no Xcursor file has none.
std::vector<CursorShape> readXcursorImages(std::string_view file);

// The shape of a cursor image of WIDTH x HEIGHT pixels in ARGB, as XFixes gives it.
CursorShape shapeOfImage(std::uint32_t width, std::uint32_t height, std::uint32_t xhot,
                         std::uint32_t yhot, const std::uint32_t* argb);

// The text cursors of every theme in the cursor search path: $XCURSOR_PATH, else
// ~/.local/share/icons, ~/.icons, /usr/share/icons and /usr/share/pixmaps. Each file is read
// once (at most 64 themes, files of at most 4 MB).
std::vector<CursorShape> textCursorShapesOfThemes();

// The folders searched, in order, for HOME and XCURSOR_PATH (either may be empty).
std::vector<std::string> cursorSearchPath(const std::string& home, const std::string& xcursorPath);

} // namespace velmora::x11
