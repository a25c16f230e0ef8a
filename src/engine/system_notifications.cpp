#include "engine/system_notifications.h"

#include "platform/distributed_notifications.h"

namespace velmora {

void SystemNotifications::callback(const std::string& name) {
    if (name == kCancelMenuTrackingNotification) {
        if (hooks_.spotlightOpeningCheck)
            hooks_.spotlightOpeningCheck();
    } else if (name == kSelectedKeyboardInputSourceChangedNotification) {
        // A burst of changes refreshes the indicator once, 0.2 s after the last one.
        if (timerOfInputChnaged)
            timerOfInputChnaged->invalidate();
        timerOfInputChnaged = runLoop_.scheduledTimer(kInputChangedDebounce, false, [this] {
            if (hooks_.inputChnagedNotification)
                hooks_.inputChnagedNotification();
        });
    }
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
