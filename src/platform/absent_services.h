// SPDX-License-Identifier: MIT
#pragma once
// Services a desktop does not give the agent (Wayland gives no client global input events,
// the pointer's shape, the on-screen window list with its stacking, nor the screen holding the
// focus). These stand in for them, empty, and say once what stays off. Main thread.

#include "platform/cursor.h"
#include "platform/event_monitor.h"
#include "platform/hot_keys.h"
#include "platform/screens.h"
#include "platform/window_list.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora {

// Never reports an event.
class NoGlobalEvents final : public EventMonitor {
  public:
    using Log = std::function<void(const std::string& line)>;
    // DESKTOP names the desktop in the line LOG takes.
    NoGlobalEvents(std::string desktop, Log log)
        : desktop_(std::move(desktop)), log_(std::move(log)) {}
    void addGlobalMonitor(std::uint64_t mask, Handler handler) override;

  private:
    std::string desktop_;
    Log log_;
    bool told_ = false;
};

// Keeps the hotkeys registered, silent, where the desktop binds no global shortcuts for other
// programs; says so at the first.
class NoGlobalShortcuts final : public GlobalShortcuts {
  public:
    using Log = std::function<void(const std::string& line)>;
    NoGlobalShortcuts(std::string desktop, Log log)
        : desktop_(std::move(desktop)), log_(std::move(log)) {}
    void registerHotKey(const HotKeyPtr& hotKey) override;
    void unregisterHotKey(const HotKeyPtr& hotKey) override { std::erase(hotKeys_, hotKey); }
    HotKeyPtr hotKeyWithIdentifier(const std::string& identifier) override;

  private:
    std::string desktop_;
    Log log_;
    std::vector<HotKeyPtr> hotKeys_;
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

} // namespace velmora
