// SPDX-License-Identifier: MIT
#pragma once
// The distributed-notification callback and the global event monitor's handler: how the
// agent hears of menu tracking, input source changes, mouse-ups and modifier keys.

#include "engine/settings.h"
#include "platform/distributed_notifications.h"
#include "platform/event_monitor.h"
#include "platform/run_loop.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora {

class SystemNotifications {
  public:
    // What the handlers hand on to the rest of the agent. An empty function is skipped.
    struct Hooks {
        std::function<void()> spotlightOpeningCheck; // menu tracking was cancelled
        std::function<void()> inputSourceChanged;    // indicator refresh
        // The enabled input sources changed: runs just before the refresh that follows it.
        std::function<void()> layoutsChanged;
        std::function<void()> checkFollowWindow;           // 1 s after a left mouse-up
        std::function<void(const Event&)> addressBarCheck; // runs on the global queue
        std::function<void(std::uint64_t flags, double timestamp)> flagsHandler;
    };

    static constexpr Milliseconds kInputChangedDebounce{200};
    static constexpr Milliseconds kMouseUpFollowDelay{1000};
    static constexpr std::uint64_t kEventMask = 0x1004;

    SystemNotifications(Settings& settings, RunLoop& runLoop, Hooks hooks)
        : settings_(settings), runLoop_(runLoop), hooks_(std::move(hooks)) {}

    // The distributed-notification callback. A change of the enabled input sources shares the
    // selected source's debounce: a new keymap brings both, and one timer handles the burst.
    void callback(DesktopBroadcast broadcast);
    // The global event monitor's handler.
    void handleGlobalEvent(const Event& event);

    // The pending indicator refresh; replaced on every input source change.
    std::shared_ptr<Timer> inputChangedTimer;

  private:
    void restartInputChangedTimer();

    // The enabled input sources changed since the pending refresh was scheduled.
    bool layoutsChangedPending_ = false;
    Settings& settings_;
    RunLoop& runLoop_;
    Hooks hooks_;
};

} // namespace velmora
