#include "qt_indicator_views.h"

#include "qt_images.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace velmora::qt {

namespace {

constexpr int kSide = 32;
constexpr int kIconInset = 4;

// Global coordinates with a bottom-left origin are measured from the bottom of the whole
// desktop (all screens together).
int desktopBottom() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 0;
    QRect all = screen->virtualGeometry();
    return all.y() + all.height();
}

} // namespace

class IndicatorWidget final : public QWidget {
  public:
    IndicatorWidget()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowDoesNotAcceptFocus),
          box_(this), icon_(this) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TranslucentBackground);
        setFixedSize(kSide, kSide);
        box_.setGeometry(0, 0, kSide, kSide);
        box_.setFrameShape(QFrame::NoFrame);
        box_.setAutoFillBackground(true);
        box_.setStyleSheet("background-color: rgba(255, 255, 255, 200); border-radius: 6px;");
        box_.hide();
        icon_.setGeometry(kIconInset, kIconInset, kSide - 2 * kIconInset, kSide - 2 * kIconInset);
        icon_.setScaledContents(true);
        // Clicks go to the window, which is what is dragged.
        icon_.setAttribute(Qt::WA_TransparentForMouseEvents);
        box_.setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    QFrame& box() { return box_; }
    QLabel& icon() { return icon_; }

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        grabOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (event->buttons() & Qt::LeftButton)
            move(event->globalPosition().toPoint() - grabOffset_);
    }

  private:
    QFrame box_;
    QLabel icon_;
    QPoint grabOffset_;
};

void QtIndicatorWindow::applyIndicatorProperties() {
    // Frameless, transparent, above the others and without focus from the start; only being
    // on every desktop is left, which the window manager gives to windows of this kind.
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
    widget_->icon().setHidden(hidden);
}

bool QtIconView::isHidden() const {
    return widget_->icon().isHidden();
}

void QtIconView::setImage(ImagePtr image) {
    image_ = std::move(image);
    auto* qtImage = dynamic_cast<const QtImage*>(image_.get());
    if (qtImage)
        widget_->icon().setPixmap(QPixmap::fromImage(qtImage->image()));
    else
        widget_->icon().clear();
}

void QtIconBox::setHidden(bool hidden) {
    widget_->box().setHidden(hidden);
}

bool QtIconBox::isHidden() const {
    return widget_->box().isHidden();
}

IndicatorViews makeQtIndicatorViews() {
    auto widget = std::make_shared<IndicatorWidget>();
    widget->show();
    return IndicatorViews{std::make_shared<QtIndicatorWindow>(widget),
                          std::make_shared<QtIconView>(widget),
                          std::make_shared<QtIconBox>(widget)};
}

} // namespace velmora::qt
