// SPDX-License-Identifier: MIT
#pragma once
// What other processes and the desktop announce to everyone, as the program tells them apart.
// Each desktop maps its own notifications onto these kinds.

#include <functional>

namespace velmora {

enum class DesktopBroadcast {
    // A menu's tracking was cancelled (a launcher's panel taking the keyboard).
    MenuTrackingCancelled,
    // Another keyboard input source became the selected one.
    SelectedInputSourceChanged,
    // The set of enabled keyboard input sources changed (on X11: a new keymap).
    EnabledInputSourcesChanged,
};

class DesktopBroadcasts {
  public:
    using Callback = std::function<void(DesktopBroadcast broadcast)>;

    DesktopBroadcasts() = default;
    DesktopBroadcasts(const DesktopBroadcasts&) = delete;
    DesktopBroadcasts& operator=(const DesktopBroadcasts&) = delete;
    virtual ~DesktopBroadcasts() = default;

    // CALLBACK runs on the main thread, with immediate delivery, for each later broadcast of
    // kind BROADCAST, from any sender.
    virtual void addObserver(DesktopBroadcast broadcast, Callback callback) = 0;
};

} // namespace velmora
