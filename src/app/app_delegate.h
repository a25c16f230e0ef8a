// SPDX-License-Identifier: MIT
#pragma once
// The application delegate: owns every part of the agent, wires them together, and carries
// the method names the rest of the program calls.

#include "app/popover_view_controller.h"
#include "detection/launcher_detection.h"
#include "detection/window_frame_lookup.h"
#include "editor/editor_lists.h"
#include "engine/activation_dispatcher.h"
#include "engine/address_bar_switch.h"
#include "engine/input_source_selection.h"
#include "engine/settings.h"
#include "engine/system_notifications.h"
#include "indicator/indicator.h"
#include "indicator/popover_host.h"
#include "platform/platform.h"

#include <memory>
#include <string>

namespace velmora {

class AppDelegate {
  public:
    explicit AppDelegate(Platform& platform);
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Start-up, in its fixed order.
    void applicationDidFinishLaunching();
    // Nothing to save: every stored value was written when it changed.
    void applicationWillTerminate();

    // The hotkey selection: nothing when ID is current or a launcher is frontmost.
    void changeInputTo(const std::string& id);

    // The indicator: its place by the front window, its icon, the cursor it shows beside.
    void checkFollowWindow();
    void adjustIconView();
    ImagePtr getCurrentInputIcon();
    bool isTextCursor();

    // The popover.
    void showPopover();
    void openPopover();
    void addPopoverSizeTo(std::int64_t n);
    // The user opened the program again: the status item comes back, the popover shows.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);

    // The parts that tests, the simulated desktop's checks and the benchmarks look into.
    Settings& settings() { return settings_; }
    InputSourceSelection& selection() { return selection_; }
    ActivationDispatcher& dispatcher() { return dispatcher_; }
    LauncherDetection& launchers() { return launchers_; }
    WindowFrameLookup& windowFrames() { return frames_; }
    AddressBarSwitch& addressBar() { return addressBar_; }
    // The lists every popover controller shares.
    EditorLists& editorLists() { return editorLists_; }

    // The indicator window and its views, as the layout makes them.
    std::shared_ptr<IndicatorWindow> inputIconWindow() const { return indicator_.views().window; }
    std::shared_ptr<ImageView> iconView() const { return indicator_.views().iconView; }
    std::shared_ptr<Box> iconBox() const { return indicator_.views().iconBox; }
    // The status item, the popover and its content controller; nullptr until start-up made
    // them.
    std::shared_ptr<StatusItem> statusItem() const { return popoverHost_.statusItem; }
    std::shared_ptr<Popover> popover() const { return popoverHost_.popover; }
    PopoverViewController* popoverViewController() const { return popoverContent_.get(); }

  private:
    void initPopover();
    void decideToShowPopover();
    // What the popover's controllers ask of the delegate.
    PopoverViewController::Hooks popoverHooks();
    // Shows and hides the delegate's window once, so that the new input source takes hold.
    void reset();

    // In order of construction: each part is built after the parts it refers to; parts that
    // reach a later one do so through hooks that call back into the delegate.
    Platform& platform_;
    Settings settings_;
    InputSourceSelection selection_;
    ActivationDispatcher dispatcher_;
    WindowFrameLookup frames_;
    LauncherDetection launchers_;
    Indicator indicator_;
    AddressBarSwitch addressBar_;
    SystemNotifications notifications_;
    EditorLists editorLists_;
    PopoverHost popoverHost_;
    std::unique_ptr<PopoverViewController> popoverContent_;
    // The window reset shows and hides.
    std::shared_ptr<Window> resetWindow_;
};

} // namespace velmora
