// SPDX-License-Identifier: MIT
#include "engine/system_notifications.h"

#include "platform/distributed_notifications.h"

#include <utility>

namespace velmora {

void SystemNotifications::callback(DesktopBroadcast broadcast) {
    switch (broadcast) {
    case DesktopBroadcast::MenuTrackingCancelled:
        if (hooks_.spotlightOpeningCheck)
            hooks_.spotlightOpeningCheck();
        break;
    case DesktopBroadcast::SelectedInputSourceChanged:
        restartInputChangedTimer();
        break;
    case DesktopBroadcast::EnabledInputSourcesChanged:
        layoutsChangedPending_ = true;
        restartInputChangedTimer();
        break;
    }
}

void SystemNotifications::restartInputChangedTimer() {
    // A burst of changes refreshes the indicator once, 0.2 s after the last one.
    if (inputChangedTimer)
        inputChangedTimer->invalidate();
    inputChangedTimer = runLoop_.scheduledTimer(kInputChangedDebounce, false, [this] {
        if (std::exchange(layoutsChangedPending_, false) && hooks_.layoutsChanged)
            hooks_.layoutsChanged();
        if (hooks_.inputSourceChanged)
            hooks_.inputSourceChanged();
    });
}

void SystemNotifications::handleGlobalEvent(const Event& event) {
    switch (event.type) {
    case EventType::LeftMouseUp:
        if (settings_.boolForKey(keys::kEnableTipOfState) && hooks_.checkFollowWindow)
            runLoop_.scheduledTimer(kMouseUpFollowDelay, false, hooks_.checkFollowWindow);
        if (settings_.boolForKey(keys::kEnableBrowserAddressEnglish) && hooks_.addressBarCheck)
            runLoop_.dispatchAsyncGlobal([check = hooks_.addressBarCheck, event] { check(event); });
        break;
    case EventType::FlagsChanged:
        if (hooks_.flagsHandler)
            hooks_.flagsHandler(event.modifierFlags, event.timestamp);
        break;
    }
}

} // namespace velmora
