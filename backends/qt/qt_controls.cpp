// SPDX-License-Identifier: MIT
#include "qt_controls.h"

#include "named_images.h"

#include <QLineEdit>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QToolButton>
#include <QWheelEvent>

namespace velmora::qt {

QtTextField::QtTextField() : QtView(new QLineEdit) {}

QLineEdit* QtTextField::edit() const {
    return static_cast<QLineEdit*>(widget());
}

void QtTextField::setStringValue(const std::string& text) {
    text_ = text;
    if (QLineEdit* line = edit()) {
        line->setText(QString::fromStdString(text));
        line->setCursorPosition(0); // a long text shows its beginning
    }
}

std::string QtTextField::stringValue() const {
    QLineEdit* line = edit();
    return line ? line->text().toStdString() : text_;
}

void QtTextField::setBezeled(bool bezeled) {
    if (QLineEdit* line = edit())
        line->setFrame(bezeled);
}

void QtTextField::setEditable(bool editable) {
    QLineEdit* line = edit();
    if (!line)
        return;
    line->setReadOnly(!editable);
    line->setFocusPolicy(editable ? Qt::StrongFocus : Qt::NoFocus);
    line->setAttribute(Qt::WA_TransparentForMouseEvents, !editable);
}

void QtTextField::setDrawsBackground(bool draws) {
    drawsBackground_ = draws;
    applyBackground();
}

void QtTextField::setBackgroundColor(Color color) {
    clearBackground_ = color == Color::clearColor;
    applyBackground();
}

void QtTextField::applyBackground() {
    QLineEdit* line = edit();
    if (!line)
        return;
    QPalette palette = line->palette();
    palette.setColor(QPalette::Base, drawsBackground_ && !clearBackground_
                                         ? line->style()->standardPalette().color(QPalette::Base)
                                         : QColor(Qt::transparent));
    line->setPalette(palette);
}

void WheelGuardedComboBox::wheelEvent(QWheelEvent* event) {
    if (hasFocus())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}

void WheelGuardedComboBox::paintEvent(QPaintEvent*) {
    // As QComboBox paints itself, with the text cut to the room there is.
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QString text = currentIndex() < 0 ? placeholderText() : currentText();
    const QRect room =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    option.currentText = fontMetrics().elidedText(text, Qt::ElideRight, room.width() - 2);
    const QString tip = option.currentText == text ? QString() : text;
    if (toolTip() != tip)
        setToolTip(tip);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

QtComboBox::QtComboBox() : QtView(new WheelGuardedComboBox) {
    QComboBox* box = comboBox();
    box->setEditable(false);
    box->setFocusPolicy(Qt::StrongFocus); // the wheel alone never focuses it
    box->setCurrentIndex(-1);
    // The text shown is the box's value, not a hint: drawn like an item, not greyed.
    QPalette palette = box->palette();
    palette.setColor(QPalette::PlaceholderText, palette.color(QPalette::ButtonText));
    box->setPalette(palette);
    connection_ =
        QObject::connect(box, &QComboBox::activated, [this](int index) { userSelected(index); });
}

QtComboBox::~QtComboBox() {
    // The widget may outlive this view inside a table.
    QObject::disconnect(connection_);
}

QComboBox* QtComboBox::comboBox() const {
    return static_cast<QComboBox*>(widget());
}

void QtComboBox::addItemsWithObjectValues(const std::vector<std::string>& items) {
    QComboBox* box = comboBox();
    if (!box)
        return;
    const int current = box->currentIndex();
    for (const auto& item : items)
        box->addItem(QString::fromStdString(item));
    box->setCurrentIndex(current); // adding to an empty box must not select the first item
}

std::vector<std::string> QtComboBox::objectValues() const {
    std::vector<std::string> items;
    if (QComboBox* box = comboBox())
        for (int i = 0; i < box->count(); ++i)
            items.push_back(box->itemText(i).toStdString());
    return items;
}

void QtComboBox::setEditable(bool) {
    // Always a choice among the items.
}

void QtComboBox::setStringValue(const std::string& text) {
    selected_.reset();
    if (QComboBox* box = comboBox()) {
        box->setPlaceholderText(QString::fromStdString(text));
        box->setCurrentIndex(-1);
    }
}

std::string QtComboBox::stringValue() const {
    QComboBox* box = comboBox();
    if (!box)
        return selected_.value_or(std::string());
    return (box->currentIndex() >= 0 ? box->currentText() : box->placeholderText()).toStdString();
}

std::optional<std::string> QtComboBox::objectValueOfSelectedItem() const {
    return selected_;
}

void QtComboBox::setSelectionDidChangeObserver(Observer observer) {
    observer_ = std::move(observer);
}

void QtComboBox::userSelected(int index) {
    QComboBox* box = comboBox();
    if (!box || index < 0 || index >= box->count())
        return;
    selected_ = box->itemText(index).toStdString();
    // The observer may reload the table this box is in: it runs on a copy.
    if (Observer observer = observer_)
        observer(*this);
}

QtButton::QtButton(Kind kind) : QtView(new QToolButton), kind_(kind) {
    QToolButton* tool = button();
    tool->setCheckable(kind == Kind::TwoState);
    tool->setAutoRaise(true);
    tool->setFocusPolicy(Qt::TabFocus);
    connection_ = QObject::connect(tool, &QToolButton::clicked, [this] { clicked(); });
}

QtButton::~QtButton() {
    QObject::disconnect(connection_);
}

QToolButton* QtButton::button() const {
    return static_cast<QToolButton*>(widget());
}

void QtButton::setEnabled(bool enabled) {
    if (QToolButton* tool = button())
        tool->setEnabled(enabled);
}

bool QtButton::isEnabled() const {
    QToolButton* tool = button();
    return tool && tool->isEnabled();
}

void QtButton::setImageNamed(const std::string& name) {
    imageName_ = name;
    QToolButton* tool = button();
    if (!tool)
        return;
    QImage glyph = drawNamedImage(name);
    if (glyph.isNull()) {
        tool->setIcon(QIcon());
        return;
    }
    QIcon icon;
    icon.addPixmap(
        QPixmap::fromImage(tintedGlyph(glyph, tool->palette().color(QPalette::ButtonText))));
    icon.addPixmap(QPixmap::fromImage(tintedGlyph(
                       glyph, tool->palette().color(QPalette::Disabled, QPalette::ButtonText))),
                   QIcon::Disabled);
    tool->setIcon(icon);
    tool->setIconSize(glyph.size());
}

void QtButton::setState(std::int64_t state) {
    QToolButton* tool = button();
    if (tool && kind_ == Kind::TwoState)
        tool->setChecked(state == ControlState::On);
}

std::int64_t QtButton::state() const {
    QToolButton* tool = button();
    return tool && kind_ == Kind::TwoState && tool->isChecked() ? ControlState::On
                                                                : ControlState::Off;
}

void QtButton::clicked() {
    if (Action action = action_)
        action();
}

} // namespace velmora::qt
