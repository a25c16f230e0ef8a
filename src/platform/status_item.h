// SPDX-License-Identifier: MIT
#pragma once
// The program's item in the menu bar (on X11: the tray icon). Main thread only.

#include "platform/controls.h"
#include "platform/images.h"

#include <memory>

namespace velmora {

// A status item as wide as its content.
inline constexpr double kVariableStatusItemLength = -1;

class StatusItem {
  public:
    StatusItem() = default;
    StatusItem(const StatusItem&) = delete;
    StatusItem& operator=(const StatusItem&) = delete;
    virtual ~StatusItem() = default;

    virtual void setHighlightMode(bool highlight) = 0;
    // nullptr shows no image.
    virtual void setImage(ImagePtr image) = 0;
    // The item's button: its action runs on a click, its frame is where the item sits (the
    // empty rectangle when the desktop does not say). Never nullptr.
    virtual std::shared_ptr<Button> button() = 0;
    // Whether the item is on the menu bar. A new item is visible.
    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;
};

} // namespace velmora
