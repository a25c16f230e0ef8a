// SPDX-License-Identifier: MIT
#pragma once
// A modal alert as a message box. A popup (the popover) holds the keyboard and would sit over
// the box, so it is closed before the box shows; the program shows it again afterwards.

#include "platform/menu.h"

#include <QMessageBox>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

namespace velmora::qt {

class QtPopover;

class QtAlert final : public Alert {
  public:
    // POPOVER answers the program's popover (nullptr: none), asked right before the box
    // shows.
    explicit QtAlert(std::function<QtPopover*()> popover = {});

    void setMessageText(const std::string& text) override { text_ = text; }
    void addButtonWithTitle(const std::string& title) override { buttons_.push_back(title); }
    // Without buttons the box has one, "OK" (index 0). Escape answers the last button when
    // there are several.
    std::int64_t runModal() override;

    // The box while it runs; nullptr otherwise.
    QMessageBox* box() const { return box_.data(); }

  private:
    std::function<QtPopover*()> popover_;
    std::string text_;
    std::vector<std::string> buttons_;
    QPointer<QMessageBox> box_;
};

} // namespace velmora::qt
