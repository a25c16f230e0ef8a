// SPDX-License-Identifier: MIT
#include "app/app_delegate.h"

#include "engine/launcher_identifiers.h"

namespace velmora {

AppDelegate::AppDelegate(Platform& platform)
    : platform_(platform), settings_(platform.defaults),
      selection_(settings_, platform.inputSources),
      dispatcher_(settings_, selection_, platform.workspace, platform.screens, platform.runLoop,
                  ActivationDispatcher::Hooks{
                      .checkFollowWindow = [this] { checkFollowWindow(); },
                      .clearLauncherFlags = [this] { launchers_.clearFlags(); },
                      .reset = [this] { reset(); },
                  },
                  platform.facts.activationSelection),
      frames_(settings_, platform.windowList, dispatcher_,
              WindowFrameLookup::Hooks{
                  .launcherPanelOpen = [this] { return launchers_.launcherPanelOpen(); },
                  .adjustIconView = [this] { adjustIconView(); },
              }),
      launchers_(platform.windowList, platform.workspace, platform.runLoop, dispatcher_, frames_,
                 LauncherDetection::Hooks{
                     .adjustIconView = [this] { adjustIconView(); },
                     .checkFollowWindow = [this] { checkFollowWindow(); },
                 }),
      indicator_(settings_, platform.inputSources, platform.images, platform.screens,
                 platform.cursor, platform.views.makeIndicatorViews(), launchers_, frames_,
                 platform.facts.indicatorStartMargin),
      addressBar_(dispatcher_, selection_, platform.screens, platform.runLoop, platform.application,
                  AddressBarSwitch::Hooks{
                      .getFrameOfFirstWindow =
                          [&windows = platform.windowList](const std::string& prefix) {
                              return velmora::getFrameOfFirstWindow(
                                  withContentBounds(windows.windowListSnapshot()), prefix);
                          },
                      .isTextCursor = [this] { return indicator_.isTextCursor(); },
                      .reset = [this] { reset(); },
                  },
                  platform.chromeBrowsers),
      notifications_(
          settings_, platform.runLoop,
          SystemNotifications::Hooks{
              .spotlightOpeningCheck = [this] { launchers_.spotlightOpeningCheck(); },
              .inputSourceChanged = [this] { indicator_.inputSourceChanged(); },
              // The keymap may have lost the group the rule selected: the front
              // application gets its rule again.
              .layoutsChanged = [this] { dispatcher_.delayChangeInputToAppID(); },
              .checkFollowWindow = [this] { checkFollowWindow(); },
              .addressBarCheck = [this](const Event& event) { addressBar_.check(event); },
              .flagsHandler =
                  [this](std::uint64_t flags, double timestamp) {
                      launchers_.flagsHandler(flags, timestamp);
                  },
          }),
      popoverHost_(settings_, platform.views, platform.images, platform.application,
                   editorLists_.popoverOpened,
                   PopoverHost::Hooks{
                       .contentView = [this]() -> std::shared_ptr<View> {
                           return popoverContent_ ? popoverContent_->view() : nullptr;
                       },
                       .onStatusItemSelected = [this] { openPopover(); },
                   }),
      resetWindow_(platform.views.makeResetWindow()) {}

void AppDelegate::applicationDidFinishLaunching() {
    // 1: the indicator window's fixed properties.
    indicator_.applyWindowProperties();
    // 2: its content and first position, by "enableTipOfState".
    indicator_.setUpContentAndPosition();
    // 3: the dispatcher hears of activations and unhides.
    auto onApp = [this](const WorkspaceNotification& n) { dispatcher_.appChanged(n); };
    platform_.workspace.addObserver(kApplicationActivatedNotification, onApp);
    platform_.workspace.addObserver(kApplicationUnhiddenNotification, onApp);
    // Launcher panels that the desktop reports itself.
    platform_.workspace.addObserver(
        kLauncherPanelDidOpenNotification, [this](const WorkspaceNotification& n) {
            if (n.application && n.application->bundleIdentifier)
                launchers_.reportedPanelOpened(*n.application->bundleIdentifier, n.panelBounds);
        });
    platform_.workspace.addObserver(
        kLauncherPanelDidCloseNotification,
        [this](const WorkspaceNotification&) { launchers_.reportedPanelClosed(); });
    // 4: menu tracking and input source changes.
    auto onBroadcast = [this](DesktopBroadcast broadcast) { notifications_.callback(broadcast); };
    platform_.distributedNotifications.addObserver(DesktopBroadcast::MenuTrackingCancelled,
                                                   onBroadcast);
    platform_.distributedNotifications.addObserver(DesktopBroadcast::SelectedInputSourceChanged,
                                                   onBroadcast);
    if (platform_.facts.reappliesRuleOnLayoutChange)
        platform_.distributedNotifications.addObserver(DesktopBroadcast::EnabledInputSourcesChanged,
                                                       onBroadcast);
    // 5-6: the status item, then the popover.
    popoverHost_.refreshStatusItem();
    initPopover();
    // 7: unless the program came with the session.
    decideToShowPopover();
    // 8: one global monitor for left mouse-ups and modifier flags, for the life of the process.
    platform_.eventMonitor.addGlobalMonitor(
        SystemNotifications::kEventMask,
        [this](const Event& event) { notifications_.handleGlobalEvent(event); });
    // 9: the switch counter starts as the string "0".
    if (!settings_.objectForKey(keys::kChangedTimes)) {
        settings_.setObjectForKey(PlistValue("0"), keys::kChangedTimes);
        settings_.synchronize();
    }
    // 10: the stored hotkeys, through a controller of their own that is dropped at once; the
    // hotkeys do not need it afterwards.
    {
        PopoverViewController registrar(platform_, settings_, editorLists_, popoverHooks());
        registrar.registerAllHotKey();
    }
    // 11: the status item may go when the popover closes.
    platform_.views.addPopoverObserver(kPopoverDidCloseNotification,
                                       [this] { popoverHost_.popoverDidCloseNotification(); });
}

void AppDelegate::decideToShowPopover() {
    if (!platform_.application.startedWithSession())
        showPopover();
}

void AppDelegate::applicationWillTerminate() {}

void AppDelegate::changeInputTo(const std::string& id) {
    if (selection_.isCurrent(id))
        return;
    auto front = platform_.workspace.frontApplication();
    if (front && front->bundleIdentifier && isLauncherIdentifier(*front->bundleIdentifier))
        return;
    selection_.changeInputTo(id);
    reset();
}

void AppDelegate::checkFollowWindow() {
    frames_.checkFollowWindow();
}

void AppDelegate::adjustIconView() {
    indicator_.adjustIconView();
}

ImagePtr AppDelegate::getCurrentInputIcon() {
    return indicator_.getCurrentInputIcon();
}

bool AppDelegate::isTextCursor() {
    return indicator_.isTextCursor();
}

void AppDelegate::initPopover() {
    popoverHost_.initPopover();
    popoverContent_ =
        std::make_unique<PopoverViewController>(platform_, settings_, editorLists_, popoverHooks());
}

PopoverViewController::Hooks AppDelegate::popoverHooks() {
    return PopoverViewController::Hooks{
        .addPopoverSizeTo = [this](std::int64_t n) { addPopoverSizeTo(n); },
        .showPopover = [this] { showPopover(); },
        .inputSourceChanged = [this] { indicator_.inputSourceChanged(); },
        // A hotkey lives in the hotkey centre, beyond the controller that registered it; it
        // fires from the event loop only, while the delegate lives.
        .hotKeyAction = [this](GlobalShortcut& hotKey) { changeInputTo(hotKey.identifier()); },
    };
}

void AppDelegate::showPopover() {
    popoverHost_.showPopover();
}

void AppDelegate::openPopover() {
    popoverHost_.openPopover();
}

void AppDelegate::addPopoverSizeTo(std::int64_t n) {
    popoverHost_.addPopoverSizeTo(n);
}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows) {
    return popoverHost_.applicationShouldHandleReopen(hasVisibleWindows);
}

void AppDelegate::reset() {
    if (!resetWindow_)
        return;
    resetWindow_->makeKeyAndOrderFront();
    resetWindow_->orderOut();
}

} // namespace velmora
