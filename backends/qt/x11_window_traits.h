// SPDX-License-Identifier: MIT
#pragma once
// What Qt has no words for about a top-level window on X11, said through Qt's own xcb
// connection: the window's shape, and being on every desktop. Each answers false and does
// nothing when the application does not run on X11 (or the server lacks what it needs).

#include <QRect>
#include <QRegion>

#include <optional>

class QWidget;

namespace velmora::qt {

// Makes REGION (in WINDOW's coordinates) the only part of WINDOW that is drawn and that takes
// the pointer: the X Shape extension's bounding and input shapes. An empty region leaves
// nothing of the window, which Qt's own mask cannot say (it takes an empty mask for none).
// The shapes belong to the native window: WINDOW keeps the one it has (it is made here when
// there is none yet).
bool setX11WindowShape(QWidget& window, const QRegion& region);

// Asks for WINDOW to be shown on every virtual desktop (_NET_WM_DESKTOP 0xFFFFFFFF). Takes
// effect when it is mapped next, so call it before showing WINDOW.
bool putX11WindowOnEveryDesktop(QWidget& window);

// Where WINDOW's native window is on the screen while another window holds it (a tray that
// embedded an icon takes its window in), asked of the server: Qt's own idea of the place lags
// behind until the tray tells the icon. An empty rectangle while the window sits on the root
// itself or the server no longer knows it; none when WINDOW has no native window (none is made
// here) or the application does not run on X11.
std::optional<QRect> x11EmbeddedWindowGeometry(const QWidget& window);

} // namespace velmora::qt
