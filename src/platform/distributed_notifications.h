#pragma once
// System-wide named notifications posted by other processes.

#include <functional>
#include <string>

namespace velmora {

inline constexpr const char* kCancelMenuTrackingNotification =
    "com.apple.HIToolbox.cancelMenuTrackingNotification";
inline constexpr const char* kSelectedKeyboardInputSourceChangedNotification =
    "com.apple.Carbon.TISNotifySelectedKeyboardInputSourceChanged";
// The set of enabled keyboard input sources changed (on X11: a new keymap).
inline constexpr const char* kEnabledKeyboardInputSourcesChangedNotification =
    "com.apple.Carbon.TISNotifyEnabledKeyboardInputSourcesChanged";

class DesktopBroadcasts {
  public:
    using Callback = std::function<void(const std::string& name)>;

    DesktopBroadcasts() = default;
    DesktopBroadcasts(const DesktopBroadcasts&) = delete;
    DesktopBroadcasts& operator=(const DesktopBroadcasts&) = delete;
    virtual ~DesktopBroadcasts() = default;

    // CALLBACK runs on the main thread, with immediate delivery, for each later notification
    // named NAME, from any sender.
    virtual void addObserver(const std::string& name, Callback callback) = 0;
};

} // namespace velmora
