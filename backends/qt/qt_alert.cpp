// SPDX-License-Identifier: MIT
#include "qt_alert.h"

#include "qt_popover.h"

#include "platform/application.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace velmora::qt {

QtAlert::QtAlert(std::function<QtPopover*()> popover) : popover_(std::move(popover)) {}

std::int64_t QtAlert::runModal() {
    if (box_)
        return -1; // already running
    QMessageBox box;
    box_ = &box;
    box.setWindowTitle(QString::fromUtf8(kOwnDisplayName));
    box.setIcon(QMessageBox::Information);
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text_));
    std::vector<std::string> titles = buttons_.empty() ? std::vector<std::string>{"OK"} : buttons_;
    std::vector<QAbstractButton*> buttons;
    for (std::size_t index = 0; index < titles.size(); ++index)
        buttons.push_back(
            box.addButton(QString::fromStdString(titles[index]),
                          index == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
    box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
    box.setEscapeButton(buttons.back());
    // An ordinary window (no tray) does not hold the keyboard and may stay.
    QtPopover* popover = popover_ ? popover_() : nullptr;
    if (popover && popover->isShown() && !popover->isOrdinaryWindow())
        popover->performClose();
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    box_ = nullptr;
    for (std::size_t index = 0; index < buttons.size(); ++index)
        if (buttons[index] == clicked)
            return static_cast<std::int64_t>(index);
    return -1;
}

} // namespace velmora::qt
