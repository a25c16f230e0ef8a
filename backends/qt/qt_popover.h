// SPDX-License-Identifier: MIT
#pragma once
// The popover: a frameless window next to the tray icon holding the popover controller's
// content view. A transient popover is a Qt popup: a press anywhere else closes it, and it
// holds the keyboard while shown. Without a tray to anchor it (none on the desktop), it is an
// ordinary window with a title bar, in the middle of the screen, that stays until closed.
// Shown at a tray icon that the tray has yet to take in (just after start, or after the icon
// was hidden), it waits for the icon to settle, at most kTrayWaitMilliseconds, and then shows
// there (after the wait, wherever the tray says or at the pointer).
// Every close posts the did-close notification; a show of a closed popover posts will-show
// first. Main thread only.

#include "platform/popover.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace velmora::qt {

class PopoverWindow final : public QWidget {
  public:
    // The frame drawn around the content, in pixels on each side.
    static constexpr int kBorder = 1;

    explicit PopoverWindow(std::function<void()> hidden);
    // What a press on the window or anything in it does, after the press has been handled.
    void setMouseDownObserver(std::function<void()> observer);
    // Forgets both handlers (the popover is going away).
    void forgetHandlers();

  protected:
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void()> hidden_;
    std::function<void()> mouseDown_;
    bool mouseDownPending_ = false;
};

class QtPopover final : public Popover {
  public:
    static constexpr int kTrayWaitMilliseconds = 2500;
    static constexpr int kTrayLookMilliseconds = 40;

    struct Hooks {
        // Posts a popover notification to the program's observers.
        std::function<void(const std::string& name)> post;
        // Whether a tray shows the status item (else the popover is an ordinary window).
        std::function<bool()> anchoredToTray;
    };

    explicit QtPopover(Hooks hooks);
    ~QtPopover() override;

    void setBehavior(PopoverBehavior behavior) override { behavior_ = behavior; }
    void setContentView(std::shared_ptr<View> view) override;
    Size contentSize() const override { return size_; }
    void setContentSize(Size size) override;
    // VIEW is the status item's button (anchored at the tray icon) or anything else (at the
    // pointer); RECT and PREFERREDEDGE give way to the room on the screen.
    void showRelativeToRectOfViewPreferredEdge(Rect rect, View* view,
                                               RectEdge preferredEdge) override;
    // False while a show waits for the tray icon.
    bool isShown() const override;
    // Also gives up a show that waits.
    void performClose() override;

    PopoverWindow* window() const { return window_.data(); }
    // Whether the popover closed within the last MILLISECONDS.
    bool closedWithin(int milliseconds) const;
    void setMouseDownObserver(std::function<void()> observer);
    // Whether the popover shows as an ordinary window (no tray to hang it from).
    bool isOrdinaryWindow() const { return ordinary_; }
    // Whether a show waits for the tray icon to settle.
    bool isWaitingForTray() const { return trayWait_.isActive(); }

  private:
    void showNow();
    void lookAtTray();
    void hidden();
    void applyWindowKind(bool ordinary);
    QSize windowSize() const;
    void place();

    Hooks hooks_;
    QPointer<PopoverWindow> window_;
    PopoverBehavior behavior_ = PopoverBehavior::ApplicationDefined;
    std::shared_ptr<View> content_;
    Size size_;
    bool ordinary_ = false;
    bool kindApplied_ = false;
    std::function<QRect()> anchor_;
    std::function<bool()> anchorInPlace_;
    QTimer trayWait_;
    QElapsedTimer trayWaited_;
    QRect lastTrayGeometry_; // seen at the wait's last look
    QElapsedTimer closed_;
};

} // namespace velmora::qt
