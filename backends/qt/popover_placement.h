// SPDX-License-Identifier: MIT
#pragma once
// Where the popover goes on the screen, as a plain function of what the desktop tells.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace velmora::qt {

// Space between the anchor and the popover, in pixels.
inline constexpr int kPopoverGap = 2;

// The top-left corner of a popover of size POPOVER. Its anchor is TRAYICON when that is a
// valid, non-empty rectangle (many Linux trays never say where the icon is), else the pixel
// at CURSOR. The popover is centred on the anchor horizontally and goes below it when it fits
// into AVAILABLE (the screen without its panels) there, else above it when it fits there,
// else on the side with more room. It is then kept inside AVAILABLE; a popover larger than
// AVAILABLE keeps its top-left corner inside it.
QPoint popoverPosition(QSize popover, QRect trayIcon, QPoint cursor, QRect available);

} // namespace velmora::qt
