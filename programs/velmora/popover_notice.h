// SPDX-License-Identifier: MIT
#pragma once
// A notice shown with the popover: a line right under it (above it when the screen has no room
// below), as wide as the popover, for what the user must know and no notification service
// could tell. It shows as soon as the popover is open (at once when it is open already) and
// goes away with it: the user has seen it then. A tool-tip window, so that the popover, a
// popup holding the keyboard and the pointer, stays open beside it; the popover's own content
// is left as the program laid it out. Main thread only.

#include <QLabel>
#include <QObject>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

namespace velmora::program {

class PopoverNotice final : public QObject {
  public:
    PopoverNotice();
    ~PopoverNotice() override;

    // TEXT is shown the next time the popover is open, after the texts added before it.
    void add(const std::string& text);

    // The notice's window while it is shown; nullptr otherwise.
    QWidget* window() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showWith(QWidget* popover);
    void place();
    void done();

    std::vector<std::string> texts_;
    std::unique_ptr<QLabel> label_;
    QPointer<QWidget> popover_; // the popover window it is shown with
    bool watching_ = false;
};

} // namespace velmora::program
