// SPDX-License-Identifier: MIT
#include "popover_notice.h"

#include "qt/qt_popover.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>

namespace velmora::program {

namespace {

constexpr int kGap = 2;

qt::PopoverWindow* shownPopover() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* popover = dynamic_cast<qt::PopoverWindow*>(widget);
            popover && popover->isVisible())
            return popover;
    return nullptr;
}

} // namespace

PopoverNotice::PopoverNotice() = default;

PopoverNotice::~PopoverNotice() {
    if (watching_)
        qApp->removeEventFilter(this);
}

void PopoverNotice::add(const std::string& text) {
    texts_.push_back(text);
    if (!watching_) {
        // Only while a notice waits or shows: the filter sees every event of the program.
        qApp->installEventFilter(this);
        watching_ = true;
    }
    if (label_)
        showWith(popover_);
    else if (qt::PopoverWindow* popover = shownPopover())
        showWith(popover);
}

QWidget* PopoverNotice::window() const {
    return label_ && label_->isVisible() ? label_.get() : nullptr;
}

bool PopoverNotice::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
        if (auto* popover = dynamic_cast<qt::PopoverWindow*>(watched); popover && !label_)
            showWith(popover);
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (label_ && watched == popover_)
            place();
        break;
    case QEvent::Hide:
        if (label_ && watched == popover_)
            done();
        break;
    default:
        break;
    }
    return false;
}

void PopoverNotice::showWith(QWidget* popover) {
    if (!popover)
        return;
    popover_ = popover;
    if (!label_) {
        label_ = std::make_unique<QLabel>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
        label_->setAttribute(Qt::WA_ShowWithoutActivating);
        label_->setWordWrap(true);
        label_->setTextFormat(Qt::PlainText);
        label_->setMargin(6);
        label_->setStyleSheet("QLabel { background: palette(tool-tip-base);"
                              " color: palette(tool-tip-text); border: 1px solid palette(mid); }");
    }
    QString text;
    for (const std::string& each : texts_)
        text += (text.isEmpty() ? "" : "\n") + QString::fromStdString(each);
    label_->setText(text);
    // Also its title, which no one sees on a tool tip, for tools that read windows.
    label_->setWindowTitle(text);
    place();
    label_->show();
    label_->raise();
}

void PopoverNotice::place() {
    const QRect popover = popover_->frameGeometry();
    const int width = popover.width();
    const int height = label_->heightForWidth(width);
    const QScreen* screen = popover_->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect(popover.topLeft(), QSize());
    int y = popover.bottom() + 1 + kGap;
    if (screen && y + height > room.bottom() + 1)
        y = popover.top() - kGap - height;
    label_->setGeometry(popover.left(), std::max(y, room.top()), width, std::max(height, 1));
}

void PopoverNotice::done() {
    label_.reset();
    popover_.clear();
    texts_.clear();
    qApp->removeEventFilter(this);
    watching_ = false;
}

} // namespace velmora::program
