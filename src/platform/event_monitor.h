// SPDX-License-Identifier: MIT
#pragma once
// Global input events seen while other applications are in front.

#include <cstdint>
#include <functional>

namespace velmora {

enum class EventType : int { LeftMouseUp = 2, FlagsChanged = 12 };

struct EventMask {
    enum : std::uint64_t { LeftMouseUp = 1ull << 2, FlagsChanged = 1ull << 12 };
};

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    Point origin;
    Size size;
    bool operator==(const Rect&) const = default;
};

struct Event {
    EventType type = EventType::LeftMouseUp;
    std::uint64_t modifierFlags = 0; // raw device-dependent flags, no mask applied
    double timestamp = 0;            // seconds since system start-up
    Point locationInScreen;          // global coordinates, origin at the bottom left
};

class EventMonitor {
  public:
    using Handler = std::function<void(const Event&)>;

    EventMonitor() = default;
    EventMonitor(const EventMonitor&) = delete;
    EventMonitor& operator=(const EventMonitor&) = delete;
    virtual ~EventMonitor() = default;

    // HANDLER runs on the main thread for every later global event whose type bit is in MASK.
    // The monitor lives as long as the process.
    virtual void addGlobalMonitor(std::uint64_t mask, Handler handler) = 0;
};

} // namespace velmora
