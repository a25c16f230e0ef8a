// SPDX-License-Identifier: MIT
#include "qt_indicator_views.h"

#include "desktop_coordinates.h"
#include "indicator_widget.h"
#include "qt_images.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace velmora::qt {

namespace {

// Where the window waits until the program places it (an indicator switched on later stays
// there): in from the top-left corner of the available area (the screen without its panels),
// as far as the program keeps it from the corner at start on X11.
constexpr int kFirstPlaceMargin = 8;

// Beyond any desktop: coordinates are cut here before they become integers.
constexpr double kFarthest = 1'000'000;

int coordinate(double value) {
    return static_cast<int>(std::clamp(value, -kFarthest, kFarthest));
}

QPoint firstPlace() {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint corner = screen ? screen->availableGeometry().topLeft() : QPoint();
    return corner + QPoint(kFirstPlaceMargin, kFirstPlaceMargin);
}

} // namespace

void QtIndicatorWindow::applyIndicatorProperties() {
    // Frameless, clear, above the others, without focus and on every desktop from the start;
    // being on screen is all that is left.
    widget_->show();
}

void QtIndicatorWindow::setFrameOrigin(Point origin) {
    const int top = desktopBottom() - coordinate(origin.y) - widget_->height();
    widget_->move(coordinate(origin.x), top);
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
    widget->move(firstPlace());
    widget->show();
    return IndicatorViews{std::make_shared<QtIndicatorWindow>(widget),
                          std::make_shared<QtIconView>(widget),
                          std::make_shared<QtIconBox>(widget)};
}

} // namespace velmora::qt
