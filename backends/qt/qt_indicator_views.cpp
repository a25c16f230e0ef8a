#include "qt_indicator_views.h"

#include "desktop_coordinates.h"
#include "indicator_widget.h"
#include "qt_images.h"


namespace velmora::qt {

void QtIndicatorWindow::applyIndicatorProperties() {
    // Frameless, clear, above the others, without focus and on every desktop from the start;
    // being on screen is all that is left.
    widget_->show();
}

void QtIndicatorWindow::setFrameOrigin(Point origin) {
    int top = desktopBottom() - static_cast<int>(origin.y) - widget_->height();
    widget_->move(static_cast<int>(origin.x), top);
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
    widget->show();
    return IndicatorViews{std::make_shared<QtIndicatorWindow>(widget),
                          std::make_shared<QtIconView>(widget),
                          std::make_shared<QtIconBox>(widget)};
}

} // namespace velmora::qt
