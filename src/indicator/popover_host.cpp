// SPDX-License-Identifier: MIT
#include "indicator/popover_host.h"

#include <algorithm>

namespace velmora {

void PopoverHost::refreshStatusItem() {
    ImagePtr image = images_.imageNamed(kStatusItemImage);
    if (image)
        image->setTemplate(true);
    statusItem = views_.makeStatusItem(kVariableStatusItemLength);
    if (!statusItem)
        return;
    statusItem->setHighlightMode(true);
    statusItem->setImage(image);
    if (auto button = statusItem->button())
        button->setAction(hooks_.onStatusItemSelected);
}

void PopoverHost::initPopover() {
    popover = views_.makePopover();
    if (popover)
        popover->setBehavior(PopoverBehavior::Transient);
}

void PopoverHost::attachContent() {
    if (contentAttached_ || !popover || !hooks_.contentView)
        return;
    contentAttached_ = true;
    popover->setContentView(hooks_.contentView());
}

void PopoverHost::showAtStatusItem() {
    std::shared_ptr<Button> button = statusItem ? statusItem->button() : nullptr;
    Rect bounds = button ? Rect{{0, 0}, button->frame().size} : Rect{};
    popover->showRelativeToRectOfViewPreferredEdge(bounds, button.get(), RectEdge::MaxY);
}

void PopoverHost::showPopover() {
    if (!popover)
        return;
    attachContent();
    popover->setContentSize(Size{popover->contentSize().width, kShownHeight});
    // The popover takes the keyboard even while another application is in front.
    application_.activateWithOptions(ActivationOption::IgnoringOtherApps);
    showAtStatusItem();
}

void PopoverHost::openPopover() {
    if (popover && popover->isShown())
        popover->performClose();
    else
        showPopover();
}

void PopoverHost::popoverDidCloseNotification() {
    if (statusItem && application_.statusItemCanHide() &&
        settings_.boolForKey(keys::kHideMenuBarIcon))
        statusItem->setVisible(false);
}

void PopoverHost::addPopoverSizeTo(std::int64_t n) {
    if (!popover)
        return;
    const Size size = popover->contentSize();
    const auto d = static_cast<double>(kRowExpansion * n + kBaseExpansion);
    // A collapse from a height that never expanded would go below zero: the popover stops at
    // no height at all.
    const double height = std::max(0.0, popoverOpened_ ? size.height - d : size.height + d);
    popoverOpened_ = !popoverOpened_;
    popover->setContentSize(Size{size.width, height});
    showAtStatusItem();
}

bool PopoverHost::applicationShouldHandleReopen(bool) {
    if (statusItem && application_.statusItemCanHide() && !statusItem->isVisible())
        statusItem->setVisible(true);
    showPopover();
    return true;
}

} // namespace velmora
