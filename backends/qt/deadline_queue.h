// SPDX-License-Identifier: MIT
#pragma once
// Work due at a moment on the steady clock, run on the main thread as close to that moment as
// the kernel wakes us. Qt's own timers count whole milliseconds and fired up to a millisecond
// late in the agent; the waits before a switch are behaviour, so they get a timerfd with
// nanosecond deadlines instead (a precise Qt timer where there is no timerfd).
//
// Main thread only.

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace velmora::qt {

class DeadlineQueue {
  public:
    using Clock = std::chrono::steady_clock;
    using Id = std::uint64_t;

    explicit DeadlineQueue(QObject& context);
    ~DeadlineQueue();
    DeadlineQueue(const DeadlineQueue&) = delete;
    DeadlineQueue& operator=(const DeadlineQueue&) = delete;

    // WORK runs once DUE has passed; work due at the same moment runs in the order added.
    Id add(Clock::time_point due, std::function<void()> work);
    // Nothing happens for an ID that ran or was cancelled already.
    void cancel(Id id);
    std::size_t pending() const { return entries_.size(); }

  private:
    void runDue();
    void arm();

    // Ordered by deadline, then by the order of adding.
    std::map<std::pair<Clock::time_point, Id>, std::function<void()>> entries_;
    std::map<Id, Clock::time_point> dueOf_;
    Id next_ = 1;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer fallback_;
};

} // namespace velmora::qt
