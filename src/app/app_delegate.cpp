// SPDX-License-Identifier: MIT
#include "app/app_delegate.h"

#include "engine/launcher_identifiers.h"

#include <atomic>

namespace velmora {

namespace {
// The one process-wide reference: which delegate is live. All agent state lives in it.
std::atomic<AppDelegate*> liveDelegate{nullptr};
} // namespace

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
              .inputSourceChanged = [this] { inputSourceChanged(); },
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
                       .onStatusItemSelected = [this] { onStatusItemSelected(); },
                   }) {
    window = platform.views.makeResetWindow();
    liveDelegate.store(this);
}

AppDelegate::~AppDelegate() {
    AppDelegate* self = this;
    liveDelegate.compare_exchange_strong(self, nullptr);
}

AppDelegate* AppDelegate::appDelegate() {
    return liveDelegate.load();
}

void AppDelegate::applicationDidFinishLaunching() {
    // 1: the indicator window's fixed properties.
    indicator_.applyWindowProperties();
    // 2: its content and first position, by "enableTipOfState".
    indicator_.setUpContentAndPosition();
    // 3: the dispatcher hears of activations and unhides.
    auto onApp = [this](const WorkspaceNotification& n) { appChanged(n); };
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
    refreshStatusItem();
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
        PopoverViewController registrar(platform_, settings_, editorLists_, {});
        registrar.registerAllHotKey();
    }
    // 11: the status item may go when the popover closes.
    platform_.views.addPopoverObserver(kPopoverDidCloseNotification,
                                       [this] { popoverDidCloseNotification(); });
}

void AppDelegate::decideToShowPopover() {
    if (!platform_.application.startedWithSession())
        showPopover();
}

void AppDelegate::applicationWillTerminate() {}

void AppDelegate::appChanged(const WorkspaceNotification& notification) {
    dispatcher_.appChanged(notification);
}

void AppDelegate::delayChangeInputToAppID() {
    dispatcher_.delayChangeInputToAppID();
}

void AppDelegate::changeInputTo(const std::string& id) {
    if (selection_.currentInputSourceID() == id)
        return;
    auto front = platform_.workspace.frontApplication();
    if (front && front->bundleIdentifier && isLauncherIdentifier(*front->bundleIdentifier))
        return;
    selection_.changeInputTo(id);
    reset();
}

std::optional<PlistDictionary> AppDelegate::getFrameOfFirstWindow(const std::string& name) {
    return frames_.getFrameOfFirstWindow(name);
}

void AppDelegate::checkFollowWindow() {
    frames_.checkFollowWindow();
}

void AppDelegate::checkSpotlightIfOpening() {
    launchers_.checkSpotlightIfOpening();
}

void AppDelegate::checkAlfredIfOpening() {
    launchers_.checkAlfredIfOpening();
}

void AppDelegate::checkAlfredWillOpen() {
    launchers_.checkAlfredWillOpen();
}

void AppDelegate::stopCheckAlfredWillOpen() {
    launchers_.stopCheckAlfredWillOpen();
}

void AppDelegate::adjustIconView() {
    indicator_.adjustIconView();
}

void AppDelegate::inputSourceChanged() {
    indicator_.inputSourceChanged();
}

ImagePtr AppDelegate::getCurrentInputIcon() {
    return indicator_.getCurrentInputIcon();
}

bool AppDelegate::canTemplate(const Image* image) {
    return indicator_.canTemplate(image);
}

ImagePtr AppDelegate::scaleImageToSize(const ImagePtr& image, double width, double height) {
    return indicator_.scaleImageToSize(image, width, height);
}

bool AppDelegate::isTextCursor() {
    return indicator_.isTextCursor();
}

void AppDelegate::refreshStatusItem() {
    popoverHost_.refreshStatusItem();
}

void AppDelegate::initPopover() {
    popoverHost_.initPopover();
    popoverContent_ = std::make_unique<PopoverViewController>(
        platform_, settings_, editorLists_,
        PopoverViewController::Hooks{
            .addPopoverSizeTo = [this](std::int64_t n) { addPopoverSizeTo(n); },
            .showPopover = [this] { showPopover(); },
            .inputSourceChanged = [this] { inputSourceChanged(); },
        });
}

void AppDelegate::showPopover() {
    popoverHost_.showPopover();
}

void AppDelegate::openPopover() {
    popoverHost_.openPopover();
}

void AppDelegate::onStatusItemSelected() {
    openPopover();
}

void AppDelegate::popoverDidCloseNotification() {
    popoverHost_.popoverDidCloseNotification();
}

void AppDelegate::addPopoverSizeTo(std::int64_t n) {
    popoverHost_.addPopoverSizeTo(n);
}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows) {
    return popoverHost_.applicationShouldHandleReopen(hasVisibleWindows);
}

void AppDelegate::reset() {
    if (!window)
        return;
    window->makeKeyAndOrderFront();
    window->orderOut();
}

} // namespace velmora
