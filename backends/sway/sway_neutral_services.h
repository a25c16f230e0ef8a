// SPDX-License-Identifier: MIT
#pragma once
// What Wayland does not give a client and sway's IPC does not tell: global input events (the
// browser address-bar switch and the launcher modifiers need them), the pointer's shape, the
// on-screen window list with its stacking, and the screen holding the focus. These stand in
// for them, empty, and say once what stays off.

#include "platform/cursor.h"
#include "platform/distributed_notifications.h"
#include "platform/event_monitor.h"
#include "platform/screens.h"
#include "platform/window_list.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace velmora::sway {

using Log = std::function<void(const std::string& line)>;

// Never reports an event. Main thread.
class NoGlobalEvents final : public EventMonitor {
  public:
    explicit NoGlobalEvents(Log log) : log_(std::move(log)) {}
    void addGlobalMonitor(std::uint64_t mask, Handler handler) override;

  private:
    Log log_;
    bool told_ = false;
};

class NoWindowList final : public WindowList {
  public:
    PlistArray windowListSnapshot() override { return {}; }
};

class NoCursor final : public SystemCursor {
  public:
    std::optional<Point> currentSystemCursorHotSpot() override { return std::nullopt; }
};

class NoScreens final : public Screens {
  public:
    std::optional<Screen> mainScreen() override { return std::nullopt; }
    std::optional<Screen> deepestScreen() override { return std::nullopt; }
    std::optional<Screen> originScreen() override { return std::nullopt; }
};

// The broadcasts the core listens for, posted by the sway services themselves. Main thread.
class SwayDesktopBroadcasts final : public DesktopBroadcasts {
  public:
    void addObserver(DesktopBroadcast broadcast, Callback callback) override {
        observers_[broadcast].push_back(std::move(callback));
    }
    void post(DesktopBroadcast broadcast);

  private:
    std::map<DesktopBroadcast, std::vector<Callback>> observers_;
};

} // namespace velmora::sway
