// SPDX-License-Identifier: MIT
#include "qt_view.h"

#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace velmora::qt {

namespace {

// Whole pixels, NaN as 0, kept well inside int so that sums cannot overflow.
int pixels(double value) {
    constexpr double limit = 1 << 24;
    if (!(value == value))
        return 0;
    return static_cast<int>(std::lround(std::clamp(value, -limit, limit)));
}

} // namespace

namespace {
// The distance from the bottom of a child kept at the bottom, in whole pixels.
constexpr const char* kBottomProperty = "velmoraBottom";
} // namespace

void ViewWidget::place(QWidget& child, Rect frame) {
    QRect geometry = toQtGeometry(frame, height());
    switch (pinning_) {
    case Pinning::Fill:
        geometry = rect();
        break;
    case Pinning::Bottom:
        child.setProperty(kBottomProperty, height() - (geometry.y() + geometry.height()));
        break;
    case Pinning::Top:
        break;
    }
    child.setGeometry(geometry);
}

void ViewWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (pinning_ == Pinning::Top)
        return;
    for (QObject* object : children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow())
            continue;
        if (pinning_ == Pinning::Fill) {
            child->setGeometry(rect());
            continue;
        }
        QVariant bottom = child->property(kBottomProperty);
        if (bottom.isValid())
            child->move(child->x(), height() - (bottom.toInt() + child->height()));
    }
}

QWidget* widgetOf(const View* view) {
    auto* holder = dynamic_cast<const WidgetView*>(view);
    return holder ? holder->widget() : nullptr;
}

bool attachView(View& view, QWidget& parent) {
    auto* holder = dynamic_cast<WidgetView*>(&view);
    QWidget* widget = holder ? holder->widget() : nullptr;
    if (!widget || widget == &parent || widget->isAncestorOf(&parent))
        return false;
    widget->setParent(&parent);
    holder->attached();
    return true;
}

QRect toQtGeometry(Rect frame, int parentHeight) {
    const int width = std::max(0, pixels(frame.size.width));
    const int height = std::max(0, pixels(frame.size.height));
    const int x = pixels(frame.origin.x);
    const int bottom = pixels(frame.origin.y);
    return QRect(x, parentHeight - (bottom + height), width, height);
}

Rect fromQtGeometry(const QRect& geometry, int parentHeight) {
    return Rect{
        Point{static_cast<double>(geometry.x()),
              static_cast<double>(parentHeight - (geometry.y() + geometry.height()))},
        Size{static_cast<double>(geometry.width()), static_cast<double>(geometry.height())}};
}

} // namespace velmora::qt
