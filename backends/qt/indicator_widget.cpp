// SPDX-License-Identifier: MIT
#include "indicator_widget.h"

#include "x11_window_traits.h"

#include <QMouseEvent>
#include <QPainter>

namespace velmora::qt {

IndicatorWidget::IndicatorWidget()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    // An alpha channel where the server has one: with a compositing manager the icon's edges
    // blend with what is below. The shape does the rest, compositor or not.
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(kSide, kSide);
    // A place of its own before it is first shown: the window manager maps it there instead of
    // choosing one. Otherwise the program's first move can be lost: one to where Qt still
    // believes the window is, before it hears where the window manager put it, changes nothing.
    move(0, 0);
    // The shape is set before the window is first mapped, so not even an empty window flashes.
    face_ = indicatorFace(size(), content_);
    shape_ = opaqueRegion(face_);
    applyShape();
    putX11WindowOnEveryDesktop(*this);
}

void IndicatorWidget::setIconShown(bool shown) {
    if (content_.iconShown == shown)
        return;
    content_.iconShown = shown;
    contentChanged();
}

void IndicatorWidget::setBoxShown(bool shown) {
    if (content_.boxShown == shown)
        return;
    content_.boxShown = shown;
    contentChanged();
}

void IndicatorWidget::setIcon(QImage icon) {
    content_.icon = std::move(icon);
    contentChanged();
}

void IndicatorWidget::contentChanged() {
    face_ = indicatorFace(size(), content_);
    QRegion shape = opaqueRegion(face_);
    if (shape != shape_) {
        shape_ = std::move(shape);
        applyShape();
    }
    update();
}

void IndicatorWidget::applyShape() {
    if (setX11WindowShape(*this, shape_))
        return;
    // Elsewhere Qt's mask serves; it takes an empty region for "no mask", so nothing at all
    // is a single pixel outside the window.
    setMask(shape_.isEmpty() ? QRegion(-1, -1, 1, 1) : shape_);
}

void IndicatorWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, face_);
}

void IndicatorWidget::mousePressEvent(QMouseEvent* event) {
    grabOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void IndicatorWidget::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - grabOffset_);
}

} // namespace velmora::qt
