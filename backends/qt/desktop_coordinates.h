// SPDX-License-Identifier: MIT
#pragma once
// The program's global frames have their origin at the bottom left of the screen at the
// desktop's origin; Qt's at the top left of the desktop. This is the line between them.

namespace velmora::qt {

// The y, in Qt's coordinates, of the bottom edge of the screen at the desktop's origin (the
// primary screen when it holds (0,0), else the first that does; else the desktop's bottom);
// 0 without a screen. The X11 services measure mouse-ups and screen frames up from there,
// and the core flips window bounds by that screen's height.
int desktopBottom();

} // namespace velmora::qt
