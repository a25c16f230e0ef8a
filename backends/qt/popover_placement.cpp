// SPDX-License-Identifier: MIT
#include "popover_placement.h"

#include <algorithm>

namespace velmora::qt {

namespace {

// VALUE moved into [LOW, HIGH]; LOW wins when HIGH < LOW.
int keepWithin(int value, int low, int high) {
    return std::max(low, std::min(value, high));
}

} // namespace

QPoint popoverPosition(QSize popover, QRect trayIcon, QPoint cursor, QRect available) {
    const QRect anchor =
        trayIcon.isValid() && !trayIcon.isEmpty() ? trayIcon : QRect(cursor, QSize(1, 1));
    const int width = std::max(0, popover.width());
    const int height = std::max(0, popover.height());

    const int below = anchor.bottom() + 1 + kPopoverGap;
    const int above = anchor.top() - kPopoverGap - height;
    const int roomBelow = available.bottom() + 1 - below;
    const int roomAbove = anchor.top() - kPopoverGap - available.top();
    int y;
    if (height <= roomBelow)
        y = below;
    else if (height <= roomAbove)
        y = above;
    else
        y = roomBelow >= roomAbove ? below : above;

    int x = anchor.center().x() - width / 2;
    if (available.isValid()) {
        x = keepWithin(x, available.left(), available.right() + 1 - width);
        y = keepWithin(y, available.top(), available.bottom() + 1 - height);
    }
    return QPoint(x, y);
}

} // namespace velmora::qt
