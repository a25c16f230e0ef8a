// SPDX-License-Identifier: MIT
#pragma once
// The simulated desktop's names of the broadcasts the program hears, as scenarios post them
// ("notify NAME"); a name of none of these kinds reaches nobody.

#include "platform/distributed_notifications.h"

#include <optional>
#include <string_view>

namespace velmora {

inline constexpr const char* kCancelMenuTrackingNotification =
    "com.apple.HIToolbox.cancelMenuTrackingNotification";
inline constexpr const char* kSelectedKeyboardInputSourceChangedNotification =
    "com.apple.Carbon.TISNotifySelectedKeyboardInputSourceChanged";
inline constexpr const char* kEnabledKeyboardInputSourcesChangedNotification =
    "com.apple.Carbon.TISNotifyEnabledKeyboardInputSourcesChanged";

inline const char* nameOfBroadcast(DesktopBroadcast broadcast) {
    switch (broadcast) {
    case DesktopBroadcast::MenuTrackingCancelled:
        return kCancelMenuTrackingNotification;
    case DesktopBroadcast::SelectedInputSourceChanged:
        return kSelectedKeyboardInputSourceChangedNotification;
    case DesktopBroadcast::EnabledInputSourcesChanged:
        return kEnabledKeyboardInputSourcesChangedNotification;
    }
    return "";
}

} // namespace velmora
