// SPDX-License-Identifier: MIT
#include "deadline_queue.h"

#include <algorithm>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace velmora::qt {

DeadlineQueue::DeadlineQueue(QObject& context) {
    fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read, &context);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            std::uint64_t expirations = 0;
            // Nonblocking: nothing to read only when a re-arm already cleared it.
            if (::read(fd_, &expirations, sizeof expirations) < 0) {
            }
            runDue();
        });
    }
    fallback_.setTimerType(Qt::PreciseTimer);
    fallback_.setSingleShot(true);
    QObject::connect(&fallback_, &QTimer::timeout, &context, [this] { runDue(); });
}

DeadlineQueue::~DeadlineQueue() {
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

DeadlineQueue::Id DeadlineQueue::add(Clock::time_point due, std::function<void()> work) {
    const Id id = next_++;
    entries_.emplace(std::make_pair(due, id), std::move(work));
    dueOf_.emplace(id, due);
    arm();
    return id;
}

void DeadlineQueue::cancel(Id id) {
    auto due = dueOf_.find(id);
    if (due == dueOf_.end())
        return;
    entries_.erase({due->second, id});
    dueOf_.erase(due);
    arm();
}

void DeadlineQueue::runDue() {
    // One at a time: the work may add or cancel entries, this very queue's included.
    while (!entries_.empty() && entries_.begin()->first.first <= Clock::now()) {
        auto first = entries_.begin();
        std::function<void()> work = std::move(first->second);
        dueOf_.erase(first->first.second);
        entries_.erase(first);
        work();
    }
    arm();
}

void DeadlineQueue::arm() {
    if (entries_.empty()) {
        // Disarmed: nothing wakes the process while nothing is due.
        if (fd_ >= 0) {
            itimerspec off{};
            timerfd_settime(fd_, 0, &off, nullptr);
        }
        fallback_.stop();
        return;
    }
    const Clock::time_point due = entries_.begin()->first.first;
    if (fd_ >= 0) {
        // The steady clock is CLOCK_MONOTONIC on Linux: its time points are absolute deadlines.
        const auto sinceEpoch =
            std::chrono::duration_cast<std::chrono::nanoseconds>(due.time_since_epoch()).count();
        itimerspec at{};
        at.it_value.tv_sec = static_cast<time_t>(sinceEpoch / 1000000000);
        at.it_value.tv_nsec = static_cast<long>(sinceEpoch % 1000000000);
        // A zero value would disarm: a deadline at the clock's very start is long past anyway.
        if (at.it_value.tv_sec == 0 && at.it_value.tv_nsec == 0)
            at.it_value.tv_nsec = 1;
        if (timerfd_settime(fd_, TFD_TIMER_ABSTIME, &at, nullptr) == 0)
            return;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now());
    fallback_.start(std::max(left, std::chrono::milliseconds(0)));
}

} // namespace velmora::qt
