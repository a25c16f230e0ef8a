// SPDX-License-Identifier: MIT
#include "qt_popover.h"

#include "popover_placement.h"
#include "qt_status_item.h"
#include "qt_view.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace velmora::qt {

namespace {

int wholePixels(double value) {
    if (!(value > 0))
        return 0;
    return static_cast<int>(std::lround(std::min(value, double(1 << 16))));
}

QScreen* screenAt(QPoint point) {
    QScreen* screen = QGuiApplication::screenAt(point);
    return screen ? screen : QGuiApplication::primaryScreen();
}

} // namespace

PopoverWindow::PopoverWindow(std::function<void()> hidden) : hidden_(std::move(hidden)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAutoFillBackground(true);
}

void PopoverWindow::setMouseDownObserver(std::function<void()> observer) {
    mouseDown_ = std::move(observer);
}

void PopoverWindow::forgetHandlers() {
    hidden_ = nullptr;
    mouseDown_ = nullptr;
}

void PopoverWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Presses on any widget inside reach the observer, whoever handles them.
    qApp->installEventFilter(this);
}

void PopoverWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    qApp->removeEventFilter(this);
    if (!event->spontaneous() && hidden_)
        hidden_();
}

bool PopoverWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress || !mouseDown_ || mouseDownPending_)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // A popup also gets the presses elsewhere that close it: those are outside it.
    const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    if (!widget || !(widget == this || isAncestorOf(widget)) || !widget->rect().contains(at))
        return false;
    // Once per press, however far it travels up the widgets that do not take it.
    mouseDownPending_ = true;
    QTimer::singleShot(0, this, [this] {
        mouseDownPending_ = false;
        if (mouseDown_)
            mouseDown_();
    });
    return false;
}

void PopoverWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

QtPopover::QtPopover(Hooks hooks)
    : hooks_(std::move(hooks)), window_(new PopoverWindow([this] { hidden(); })) {
    window_->setWindowTitle(QGuiApplication::applicationDisplayName());
    trayWait_.setInterval(kTrayLookMilliseconds);
    QObject::connect(&trayWait_, &QTimer::timeout, [this] { lookAtTray(); });
}

QtPopover::~QtPopover() {
    if (PopoverWindow* window = window_.data()) {
        // Going away tells nobody.
        window->forgetHandlers();
        window_.clear();
        delete window;
    }
}

void QtPopover::setContentView(std::shared_ptr<View> view) {
    QWidget* widget = widgetOf(view.get());
    if (QWidget* old = widgetOf(content_.get()); old && old != widget && window_)
        old->setParent(nullptr); // back to its view, which owns it again
    content_ = std::move(view);
    if (!content_)
        return;
    size_ = content_->frame().size;
    if (widget && window_) {
        widget->setParent(window_);
        widget->show();
    }
    setContentSize(size_);
}

void QtPopover::setContentSize(Size size) {
    size_ = Size{std::max(0.0, size.width), std::max(0.0, size.height)};
    if (!window_)
        return;
    const QSize content(wholePixels(size_.width), wholePixels(size_.height));
    if (QWidget* widget = widgetOf(content_.get()))
        widget->setGeometry(QRect(QPoint(PopoverWindow::kBorder, PopoverWindow::kBorder), content));
    window_->resize(windowSize());
    if (isShown())
        place();
}

QSize QtPopover::windowSize() const {
    return QSize(wholePixels(size_.width), wholePixels(size_.height)) +
           QSize(2 * PopoverWindow::kBorder, 2 * PopoverWindow::kBorder);
}

void QtPopover::applyWindowKind(bool ordinary) {
    if (kindApplied_ && ordinary == ordinary_)
        return;
    kindApplied_ = true;
    ordinary_ = ordinary;
    Qt::WindowFlags flags;
    if (ordinary)
        flags = Qt::Window;
    else if (behavior_ == PopoverBehavior::ApplicationDefined)
        flags = Qt::Tool | Qt::FramelessWindowHint;
    else
        flags = Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint;
    window_->setWindowFlags(flags);
}

void QtPopover::showRelativeToRectOfViewPreferredEdge(Rect, View* view, RectEdge) {
    if (!window_)
        return;
    auto* button = dynamic_cast<QtStatusButton*>(view);
    anchor_ = button ? std::function<QRect()>([button] { return button->trayGeometry(); })
                     : std::function<QRect()>();
    anchorInPlace_ = button ? std::function<bool()>([button] { return button->iconInPlace(); })
                            : std::function<bool()>();
    if (isShown()) {
        window_->resize(windowSize());
        place();
        return;
    }
    // At the tray: the place the icon had when it was last seen, else a look or more later,
    // once it stays put.
    const bool atTray = anchor_ && hooks_.anchoredToTray && hooks_.anchoredToTray();
    if (atTray) {
        const bool inPlace = anchorInPlace_();
        const QRect geometry = inPlace ? anchor_() : QRect();
        // An icon in place whose tray never says where it is: nothing to wait for.
        if (!inPlace || (!geometry.isEmpty() && geometry != lastTrayGeometry_)) {
            lastTrayGeometry_ = geometry;
            if (!trayWait_.isActive()) {
                trayWaited_.start();
                trayWait_.start();
            }
            return;
        }
    }
    trayWait_.stop();
    showNow();
}

void QtPopover::lookAtTray() {
    // The tray may still move the icon right after taking it in (a panel that grows to fit
    // it): it is in place once two looks in a row agree.
    const bool inPlace = !anchorInPlace_ || anchorInPlace_();
    const QRect geometry = inPlace && anchor_ ? anchor_() : QRect();
    const bool settled = inPlace && (geometry.isEmpty() || geometry == lastTrayGeometry_);
    lastTrayGeometry_ = geometry;
    if (!settled && trayWaited_.elapsed() < kTrayWaitMilliseconds)
        return;
    trayWait_.stop();
    showNow();
}

void QtPopover::showNow() {
    if (!window_ || isShown())
        return;
    if (hooks_.post)
        hooks_.post(kPopoverWillShowNotification);
    if (!window_ || isShown())
        return; // an observer showed or destroyed it
    applyWindowKind(!(hooks_.anchoredToTray && hooks_.anchoredToTray()));
    window_->resize(windowSize());
    place();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void QtPopover::place() {
    const QSize size = windowSize();
    if (ordinary_) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect area = screen->availableGeometry();
            window_->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
        }
        return;
    }
    const QRect tray = anchor_ ? anchor_() : QRect();
    const QPoint cursor = QCursor::pos();
    QScreen* screen = screenAt(tray.isValid() && !tray.isEmpty() ? tray.center() : cursor);
    const QRect available = screen ? screen->availableGeometry() : QRect();
    window_->move(popoverPosition(size, tray, cursor, available));
}

bool QtPopover::isShown() const {
    return window_ && window_->isVisible();
}

void QtPopover::performClose() {
    trayWait_.stop();
    if (isShown())
        window_->hide();
}

void QtPopover::hidden() {
    closed_.start();
    if (hooks_.post)
        hooks_.post(kPopoverDidCloseNotification);
}

bool QtPopover::closedWithin(int milliseconds) const {
    return closed_.isValid() && closed_.elapsed() < milliseconds;
}

void QtPopover::setMouseDownObserver(std::function<void()> observer) {
    if (window_)
        window_->setMouseDownObserver(std::move(observer));
}

} // namespace velmora::qt
