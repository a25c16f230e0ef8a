// SPDX-License-Identifier: MIT
#include "named_images.h"

#include <QPainter>
#include <QPainterPath>

namespace velmora::qt {

namespace {

QImage clearImage(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage keyboard() {
    QImage image = clearImage(22);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(1.75, 4.75, 18.5, 12.5), 2, 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (int key = 0; key < 5; ++key)
        painter.drawRect(QRectF(4 + 3 * key, 7.5, 2, 2));
    for (int key = 0; key < 4; ++key)
        painter.drawRect(QRectF(5.5 + 3 * key, 10.5, 2, 2));
    painter.drawRect(QRectF(7, 13.5, 8, 1.5)); // the space bar
    return image;
}

QImage chevron(bool up) {
    QImage image = clearImage(16);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath path;
    const double tip = up ? 5 : 11;
    const double ends = up ? 10.5 : 5.5;
    path.moveTo(3.5, ends);
    path.lineTo(8, tip);
    path.lineTo(12.5, ends);
    painter.drawPath(path);
    return image;
}

} // namespace

QImage drawNamedImage(std::string_view name) {
    if (name == "menuIcon")
        return keyboard();
    if (name == "close")
        return chevron(false);
    if (name == "open")
        return chevron(true);
    return {};
}

QImage tintedGlyph(const QImage& image, const QColor& colour) {
    if (image.isNull())
        return {};
    QImage tinted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&tinted);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(tinted.rect(), colour);
    return tinted;
}

} // namespace velmora::qt
