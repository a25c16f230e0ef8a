// SPDX-License-Identifier: MIT
#include "qt_image_views.h"

#include "qt_images.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velmora::qt {

ImageWidget::ImageWidget() {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ImageWidget::setImage(QImage image) {
    image_ = std::move(image);
    update();
}

QRect ImageWidget::placement(QSize size, QSize image) {
    if (image.isEmpty() || size.isEmpty())
        return {};
    const double scale = std::min(
        {1.0, double(size.width()) / image.width(), double(size.height()) / image.height()});
    const int width = std::max(1, static_cast<int>(std::lround(image.width() * scale)));
    const int height = std::max(1, static_cast<int>(std::lround(image.height() * scale)));
    return QRect((size.width() - width) / 2, (size.height() - height) / 2, width, height);
}

void ImageWidget::paintEvent(QPaintEvent*) {
    if (image_.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(placement(size(), image_.deviceIndependentSize().toSize()), image_);
}

QtImageView::QtImageView() : QtView(new ImageWidget) {}

ImageWidget* QtImageView::imageWidget() const {
    return static_cast<ImageWidget*>(widget());
}

void QtImageView::setImage(ImagePtr image) {
    image_ = std::move(image);
    if (ImageWidget* widget = imageWidget()) {
        auto* qtImage = dynamic_cast<const QtImage*>(image_.get());
        widget->setImage(qtImage ? qtImage->image() : QImage());
    }
}

} // namespace velmora::qt
