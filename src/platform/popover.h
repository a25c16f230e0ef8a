// SPDX-License-Identifier: MIT
#pragma once
// A popover: a panel shown next to a view (the status item's button), holding the content
// view of the program's popover controller. Main thread only.

#include "platform/view.h"

#include <memory>

namespace velmora {

// Notifications of every popover of the program (ViewFactory::addPopoverObserver).
inline constexpr const char* kPopoverWillShowNotification = "NSPopoverWillShowNotification";
inline constexpr const char* kPopoverDidCloseNotification = "NSPopoverDidCloseNotification";

enum class PopoverBehavior : int { ApplicationDefined = 0, Transient = 1, Semitransient = 2 };
enum class RectEdge : int { MinX = 0, MinY = 1, MaxX = 2, MaxY = 3 };

class Popover {
  public:
    Popover() = default;
    Popover(const Popover&) = delete;
    Popover& operator=(const Popover&) = delete;
    virtual ~Popover() = default;

    // A transient popover closes when the user works elsewhere (and posts the did-close
    // notification).
    virtual void setBehavior(PopoverBehavior behavior) = 0;
    // The view shown inside; its frame size becomes the content size.
    virtual void setContentView(std::shared_ptr<View> view) = 0;
    // The empty size until content or a size is set.
    virtual Size contentSize() const = 0;
    // Takes effect at once, also while shown. Sizes below zero are taken as zero.
    virtual void setContentSize(Size size) = 0;
    // Shows the popover at RECT of VIEW (nullptr: where the desktop puts it, e.g. at the
    // pointer), on the PREFERREDEDGE side when there is room. A closed popover posts the
    // will-show notification first; a shown one moves and takes its new size, posting none.
    virtual void showRelativeToRectOfViewPreferredEdge(Rect rect, View* view,
                                                       RectEdge preferredEdge) = 0;
    virtual bool isShown() const = 0;
    // Closes a shown popover and posts the did-close notification; nothing when closed.
    virtual void performClose() = 0;
};

} // namespace velmora
