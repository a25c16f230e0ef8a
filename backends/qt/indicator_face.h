// SPDX-License-Identifier: MIT
#pragma once
// What the indicator window shows, drawn as one image of the window's size, and the part of
// the window that is there at all: the pixels that this image covers. Outside them the window
// is neither seen nor in the way of clicks (see indicator_widget.h).

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QSize>

namespace velmora::qt {

struct IndicatorContent {
    bool iconShown = false;
    bool boxShown = false;
    QImage icon; // null: no icon
};

// A pixel at least this opaque belongs to the window's shape. Without a compositing manager
// the shape is all that decides what is seen, and a pixel is drawn at full strength over
// black: the less opaque edge pixels of antialiased drawing are left out rather than shown
// dark. With one, the kept pixels blend as drawn.
inline constexpr int kShapeAlpha = 128;

// Where an icon of ICON's size goes in AREA: at its own size, centred; one that does not fit
// is scaled down to fit, keeping its proportions. Empty for an empty icon or area.
QRect iconPlacement(QSize area, QSize icon);

// The window's image: clear, then the backdrop box (a light rounded plate over all of it)
// when shown, then the icon when shown and present.
QImage indicatorFace(QSize size, const IndicatorContent& content);

// The pixels of IMAGE with an alpha of at least MINIMUMALPHA, as a region in its coordinates.
QRegion opaqueRegion(const QImage& image, int minimumAlpha = kShapeAlpha);

} // namespace velmora::qt
