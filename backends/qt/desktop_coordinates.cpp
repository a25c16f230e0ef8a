// SPDX-License-Identifier: MIT
#include "desktop_coordinates.h"

#include <QGuiApplication>
#include <QScreen>

namespace velmora::qt {

int desktopBottom() {
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return 0;
    // With screens of different heights the desktop's bottom is not the origin screen's: a
    // window placed from it would be off by the difference.
    auto bottomIfAtOrigin = [](const QScreen* screen) -> int {
        const QRect frame = screen->geometry();
        return frame.contains(QPoint(0, 0)) ? frame.y() + frame.height() : -1;
    };
    if (int bottom = bottomIfAtOrigin(primary); bottom >= 0)
        return bottom;
    for (const QScreen* screen : QGuiApplication::screens())
        if (int bottom = bottomIfAtOrigin(screen); bottom >= 0)
            return bottom;
    const QRect all = primary->virtualGeometry();
    return all.y() + all.height();
}

} // namespace velmora::qt
