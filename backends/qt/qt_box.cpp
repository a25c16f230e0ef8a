// SPDX-License-Identifier: MIT
#include "qt_box.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velmora::qt {

QColor paletteColor(Color color, const QPalette& palette) {
    switch (color) {
    case Color::clearColor:
        return Qt::transparent;
    case Color::disabledControlTextColor:
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    case Color::textBackgroundColor:
        return palette.color(QPalette::Active, QPalette::Base);
    }
    return Qt::transparent;
}

void BoxWidget::setStyle(const Style& style) {
    style_ = style;
    update();
}

void BoxWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    switch (style_.type) {
    case BoxStyle::Separator: {
        painter.setPen(palette().color(QPalette::Mid));
        const double middle = std::floor(height() / 2.0) + 0.5;
        painter.drawLine(QPointF(0, middle), QPointF(width(), middle));
        return;
    }
    case BoxStyle::Custom: {
        const double fits = std::min(bounds.width(), bounds.height()) / 2;
        const double radius = std::isfinite(style_.cornerRadius)
                                  ? std::clamp(style_.cornerRadius, 0.0, std::max(0.0, fits))
                                  : fits;
        painter.setPen(paletteColor(style_.border, palette()));
        painter.setBrush(paletteColor(style_.fill, palette()));
        painter.drawRoundedRect(bounds, radius, radius);
        return;
    }
    case BoxStyle::Primary:
        break;
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.setBrush(palette().color(QPalette::AlternateBase));
    painter.drawRoundedRect(bounds, 5, 5);
}

BoxWidget* QtBox::box() const {
    return static_cast<BoxWidget*>(widget());
}

template <class Edit> static void restyle(BoxWidget* box, Edit edit) {
    if (!box)
        return;
    BoxWidget::Style style = box->style();
    edit(style);
    box->setStyle(style);
}

void QtBox::setBoxStyle(BoxStyle type) {
    restyle(box(), [type](BoxWidget::Style& style) { style.type = type; });
}

void QtBox::setCornerRadius(double radius) {
    restyle(box(), [radius](BoxWidget::Style& style) { style.cornerRadius = radius; });
}

void QtBox::setBorderColor(Color color) {
    restyle(box(), [color](BoxWidget::Style& style) { style.border = color; });
}

void QtBox::setFillColor(Color color) {
    restyle(box(), [color](BoxWidget::Style& style) { style.fill = color; });
}

} // namespace velmora::qt
