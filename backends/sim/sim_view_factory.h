// SPDX-License-Identifier: MIT
#pragma once
// The views factory of the simulated desktop. It remembers the status item, the popover and
// the open panel it made, so that tests and the scenario harness can click, dismiss and
// answer them as the user would.

#include "platform/views.h"
#include "sim_views.h"
#include "trace.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora::sim {

class SimResetWindow final : public Window {
  public:
    explicit SimResetWindow(Trace& trace) : trace_(trace) {}
    void makeKeyAndOrderFront() override { front_ = true; }
    void orderOut() override;

  private:
    Trace& trace_;
    bool front_ = false;
};

// The popover layout's size before the program sets one.
inline constexpr Size kSimPopoverLayoutSize{288, 330};

class SimViews final : public ViewFactory {
  public:
    explicit SimViews(Trace& trace) : trace_(trace) {}
    std::shared_ptr<Window> makeResetWindow() override;
    IndicatorViews makeIndicatorViews() override;

    std::shared_ptr<StatusItem> makeStatusItem(double length) override;
    std::shared_ptr<Popover> makePopover() override;
    PopoverLayout makePopoverLayout() override;
    std::shared_ptr<ImageView> makeImageView() override;
    std::shared_ptr<TextField> makeTextField() override;
    std::shared_ptr<ComboBox> makeComboBox() override;
    std::shared_ptr<View> makeView() override;
    std::shared_ptr<Box> makeBox() override;
    std::shared_ptr<TaggedShortcutRecorder> makeShortcutRecorder() override;
    std::shared_ptr<Menu> makeMenu(const std::vector<MenuItemDescription>& items) override;
    std::shared_ptr<Alert> makeAlert() override;
    std::shared_ptr<OpenPanel> openPanel() override;
    void addPopoverObserver(const std::string& name, std::function<void()> observer) override;

    // The last status item and popover made (nullptr before).
    std::shared_ptr<SimStatusItem> statusItem() const { return statusItem_; }
    std::shared_ptr<SimPopover> popover() const { return popover_; }
    // The last menu made; nullptr before.
    std::shared_ptr<SimMenu> menu() const { return menu_; }
    // The open panel waiting for the user's answer; nullptr when none is.
    std::shared_ptr<SimOpenPanel> pendingOpenPanel() const { return pendingPanel_.lock(); }

  private:
    void post(const std::string& name);

    Trace& trace_;
    std::shared_ptr<SimStatusItem> statusItem_;
    std::shared_ptr<SimPopover> popover_;
    std::shared_ptr<SimMenu> menu_;
    std::weak_ptr<SimOpenPanel> pendingPanel_;
    std::map<std::string, std::vector<std::function<void()>>> popoverObservers_;
};

} // namespace velmora::sim
