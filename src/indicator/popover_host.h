// SPDX-License-Identifier: MIT
#pragma once
// The program's status item and the popover it opens: building the item, showing, toggling,
// closing and resizing the popover, and hiding the item after the popover closes when the
// user asked for that.
//
// Main thread only.

#include "engine/settings.h"
#include "platform/application.h"
#include "platform/images.h"
#include "platform/views.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace velmora {

class PopoverHost {
  public:
    // What the host asks of the rest of the agent. An empty function is skipped.
    struct Hooks {
        // The content controller's view, loaded at the first call.
        std::function<std::shared_ptr<View>()> contentView;
        // The status item button's action.
        std::function<void()> onStatusItemSelected;
    };

    static constexpr const char* kStatusItemImage = "menuIcon";
    static constexpr double kShownHeight = 330;
    // Expanding adds kRowExpansion x n + kBaseExpansion for n catalogue entries.
    static constexpr std::int64_t kRowExpansion = 27;
    static constexpr std::int64_t kBaseExpansion = 210;

    // POPOVEROPENED is the flag shared with the popover's controllers: true while expanded.
    PopoverHost(Settings& settings, ViewFactory& views, Images& images, Application& application,
                bool& popoverOpened, Hooks hooks)
        : settings_(settings), views_(views), images_(images), application_(application),
          popoverOpened_(popoverOpened), hooks_(std::move(hooks)) {}

    void refreshStatusItem();
    void initPopover();
    void showPopover();
    void openPopover();
    void popoverDidCloseNotification();
    void addPopoverSizeTo(std::int64_t n);
    bool applicationShouldHandleReopen(bool hasVisibleWindows);

    // Built by refreshStatusItem and initPopover; nullptr before, or when the desktop has
    // none.
    std::shared_ptr<StatusItem> statusItem;
    std::shared_ptr<Popover> popover;

  private:
    // Shows the popover at the status item, at its present size.
    void showAtStatusItem();
    // Gives the popover its content the first time it is needed.
    void attachContent();

    Settings& settings_;
    ViewFactory& views_;
    Images& images_;
    Application& application_;
    bool& popoverOpened_;
    Hooks hooks_;
    bool contentAttached_ = false;
};

} // namespace velmora
