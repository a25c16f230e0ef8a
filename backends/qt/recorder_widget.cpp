// SPDX-License-Identifier: MIT
#include "recorder_widget.h"

#include "shortcut_text.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>

namespace velmora::qt {

namespace {

QPointer<RecorderWidget> recording;

// Keys that change what other keys type but are no modifier of a shortcut: taken alone they
// would make a shortcut of the lock or level key itself.
bool isLockOrLevelKey(int key) {
    switch (key) {
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Mode_switch:
    case Qt::Key_unknown:
        return true;
    default:
        return false;
    }
}

constexpr std::int64_t kLargestKeyCode = 0xFFFF;

} // namespace

RecorderWidget::RecorderWidget(KeyTranslation keys) : keys_(std::move(keys)) {
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QCoreApplication::translate("Velmora", "Click to record a shortcut"));
}

RecorderWidget::~RecorderWidget() {
    if (recording_)
        stopListening();
}

RecorderWidget* RecorderWidget::recordingWidget() {
    return recording.data();
}

void RecorderWidget::setShortcut(std::optional<RecordedShortcut> shortcut) {
    shortcut_ = shortcut;
    update();
}

void RecorderWidget::setAllowedModifierFlags(std::uint64_t allowed, std::uint64_t required,
                                             bool allowsEmpty) {
    allowed_ = allowed;
    required_ = required;
    allowsEmpty_ = allowsEmpty;
}

void RecorderWidget::startRecording() {
    if (recording_)
        return;
    if (RecorderWidget* other = recording.data())
        other->cancelRecording();
    recording_ = true;
    held_ = 0;
    recording = this;
    setFocus(Qt::MouseFocusReason);
    // A pop-up holds the keyboard while it is shown: a grab of ours would be the same grab,
    // and giving it back would take the keyboard from the pop-up, which then closes.
    grabbed_ = window()->windowType() != Qt::Popup;
    if (grabbed_)
        grabKeyboard();
    qApp->installEventFilter(this);
    update();
}

void RecorderWidget::cancelRecording() {
    if (recording_)
        end(Ending::Cancelled);
}

void RecorderWidget::stopListening() {
    recording_ = false;
    held_ = 0;
    if (recording == this)
        recording = nullptr;
    qApp->removeEventFilter(this);
    if (grabbed_)
        releaseKeyboard();
    grabbed_ = false;
}

void RecorderWidget::end(Ending ending) {
    stopListening();
    update();
    // The handler may reload the table this widget is a cell of: nothing of this widget is
    // used after it.
    EndedHandler handler = ended_;
    if (handler)
        handler(ending);
}

QString RecorderWidget::displayedText() const {
    if (recording_)
        return held_ ? modifierText(held_) + QStringLiteral("\u2026")
                     : QCoreApplication::translate("Velmora", "Type Shortcut");
    if (!shortcut_)
        return QCoreApplication::translate("Velmora", "Record Shortcut");
    return shortcutText(shortcut_->modifierFlags, shortcut_->keyCode, keys_);
}

QRect RecorderWidget::shownArea() const {
    QRect area = visibleRegion().boundingRect() & rect();
    return area.isEmpty() ? rect() : area;
}

QRect RecorderWidget::clearMarkRect() const {
    if (recording_ || !shortcut_)
        return {};
    const QRect area = shownArea();
    const int side = std::min(area.height(), 18);
    return QRect(area.right() - side - 2, area.center().y() - side / 2, side, side);
}

bool RecorderWidget::event(QEvent* event) {
    if (recording_) {
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Every key belongs to the recording, not to the window's shortcuts.
            event->accept();
            return true;
        case QEvent::KeyPress:
            // Straight to the recording: Tab would otherwise move the focus.
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        case QEvent::KeyRelease:
            keyReleaseEvent(static_cast<QKeyEvent*>(event));
            return true;
        default:
            break;
        }
    }
    return QWidget::event(event);
}

bool RecorderWidget::eventFilter(QObject* watched, QEvent* event) {
    // A press anywhere else gives the recording up; the press itself goes on.
    if (recording_ && event->type() == QEvent::MouseButtonPress && watched != this &&
        watched->isWidgetType() && !isAncestorOf(static_cast<QWidget*>(watched)))
        end(Ending::Cancelled);
    return false;
}

void RecorderWidget::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (!recording_ || event->isAutoRepeat())
        return;
    const int key = event->key();
    const std::uint64_t held = storedModifierFlags(event->modifiers());
    if (const std::uint64_t flag = modifierFlagOfKey(key)) {
        held_ = held | flag;
        update();
        return;
    }
    if (isLockOrLevelKey(key))
        return;
    if (held == 0 && key == Qt::Key_Escape) {
        end(Ending::Cancelled);
        return;
    }
    if (held == 0 && (key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
        shortcut_.reset();
        end(Ending::Cleared);
        return;
    }
    const std::uint64_t flags = held & allowed_;
    if ((flags & required_) != required_ || (flags == 0 && !allowsEmpty_))
        return; // not a shortcut this recorder takes: keep listening
    const std::optional<std::int64_t> keyCode =
        keys_.storedKeyCode ? keys_.storedKeyCode(event->nativeScanCode()) : std::nullopt;
    if (!keyCode || *keyCode < 0 || *keyCode > kLargestKeyCode)
        return; // a key that cannot be stored
    shortcut_ = RecordedShortcut{*keyCode, flags};
    end(Ending::Recorded);
}

void RecorderWidget::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    if (!recording_)
        return;
    if (const std::uint64_t flag = modifierFlagOfKey(event->key())) {
        held_ = storedModifierFlags(event->modifiers()) & ~flag;
        update();
    }
}

void RecorderWidget::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || recording_)
        return;
    if (clearMarkRect().contains(event->position().toPoint())) {
        shortcut_.reset();
        update();
        EndedHandler handler = ended_;
        if (handler)
            handler(Ending::Cleared);
        return;
    }
    startRecording();
}

void RecorderWidget::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    cancelRecording();
}

void RecorderWidget::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    cancelRecording();
}

void RecorderWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect area = shownArea().adjusted(0, 0, 0, -1);
    if (recording_) {
        QPen pen(palette().color(QPalette::Highlight));
        pen.setWidthF(1.5);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(area).adjusted(1, 1, -1, -1), 4, 4);
    }
    QRect textArea = area.adjusted(6, 0, -6, 0);
    const QRect mark = clearMarkRect();
    if (!mark.isEmpty()) {
        textArea.setRight(mark.left() - 2);
        QPen pen(palette().color(QPalette::PlaceholderText));
        pen.setWidthF(1.4);
        painter.setPen(pen);
        const QRectF cross = QRectF(mark).adjusted(5, 5, -5, -5);
        painter.drawLine(cross.topLeft(), cross.bottomRight());
        painter.drawLine(cross.topRight(), cross.bottomLeft());
    }
    const bool placeholder = recording_ ? held_ == 0 : !shortcut_;
    painter.setPen(palette().color(placeholder ? QPalette::PlaceholderText : QPalette::Text));
    const QString text =
        painter.fontMetrics().elidedText(displayedText(), Qt::ElideMiddle, textArea.width());
    painter.drawText(textArea, Qt::AlignCenter, text);
}

} // namespace velmora::qt
