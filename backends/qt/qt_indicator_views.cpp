#include "qt_indicator_views.h"

#include "desktop_coordinates.h"
#include "indicator_widget.h"
#include "qt_images.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace velmora::qt {

namespace {

// How far the window keeps inside the available area (the screen without its panels) of the
// screen it is on: where it follows no window, at the screen's corner, it sits clear of the
// edges as the pop-ups of a tray do, and never under a panel.
constexpr int kScreenMargin = 8;
// Beyond any desktop: coordinates are cut here before they become integers.
constexpr double kFarthest = 1'000'000;

int coordinate(double value) {
    return static_cast<int>(std::clamp(value, -kFarthest, kFarthest));
}

// FRAME moved as little as it takes to lie inside its screen's available area by the margin;
// as it is where that area is too small or there is no screen.
QRect insideAvailableArea(QRect frame) {
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return frame;
    const QRect area = screen->availableGeometry().adjusted(kScreenMargin, kScreenMargin,
                                                            -kScreenMargin, -kScreenMargin);
    if (area.width() >= frame.width())
        frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() + 1 - frame.width()));
    if (area.height() >= frame.height())
        frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() + 1 - frame.height()));
    return frame;
}

} // namespace

void QtIndicatorWindow::applyIndicatorProperties() {
    // Frameless, clear, above the others, without focus and on every desktop from the start;
    // being on screen is all that is left.
    widget_->show();
}

void QtIndicatorWindow::setFrameOrigin(Point origin) {
    const int top = desktopBottom() - coordinate(origin.y) - widget_->height();
    widget_->move(
        insideAvailableArea(QRect(coordinate(origin.x), top, widget_->width(), widget_->height()))
            .topLeft());
}

Point QtIndicatorWindow::frameOrigin() const {
    QRect frame = widget_->frameGeometry();
    return Point{static_cast<double>(frame.x()),
                 static_cast<double>(desktopBottom() - (frame.y() + frame.height()))};
}

void QtIconView::setHidden(bool hidden) {
    widget_->setIconShown(!hidden);
}

bool QtIconView::isHidden() const {
    return !widget_->iconShown();
}

void QtIconView::setImage(ImagePtr image) {
    image_ = std::move(image);
    auto* qtImage = dynamic_cast<const QtImage*>(image_.get());
    widget_->setIcon(qtImage ? qtImage->image() : QImage());
}

void QtIconBox::setHidden(bool hidden) {
    widget_->setBoxShown(!hidden);
}

bool QtIconBox::isHidden() const {
    return !widget_->boxShown();
}

IndicatorViews makeQtIndicatorViews() {
    auto widget = std::make_shared<IndicatorWidget>();
    // Where it stays until the program places it (an indicator switched on later keeps it).
    widget->move(insideAvailableArea(widget->geometry()).topLeft());
    widget->show();
    return IndicatorViews{std::make_shared<QtIndicatorWindow>(widget),
                          std::make_shared<QtIconView>(widget),
                          std::make_shared<QtIconBox>(widget)};
}

} // namespace velmora::qt
