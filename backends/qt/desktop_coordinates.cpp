#include "desktop_coordinates.h"

#include <QGuiApplication>
#include <QScreen>

namespace velmora::qt {

int desktopBottom() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 0;
    QRect all = screen->virtualGeometry();
    return all.y() + all.height();
}

} // namespace velmora::qt
