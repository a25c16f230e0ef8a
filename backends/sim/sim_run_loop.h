// SPDX-License-Identifier: MIT
#pragma once
// A deterministic run loop in virtual time. Work is ordered by due time, then by the order in
// which it was queued. Background jobs run on their own threads but strictly one at a time,
// handing control back at every sleep, so that their work interleaves with main-thread work
// in virtual time and every run gives the same trace.

#include "platform/run_loop.h"

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace velmora::sim {

class SimTimer;
class BackgroundJob;

class SimRunLoop final : public RunLoop {
  public:
    static constexpr std::int64_t kDistantFuture = std::numeric_limits<std::int64_t>::max();

    SimRunLoop();
    ~SimRunLoop() override;

    // Virtual milliseconds since the scenario began.
    std::int64_t now() const;
    // Runs everything due up to T (included) in time order and leaves the clock at T. When a
    // blocking wait has already carried the clock past T, runs nothing.
    void runUntil(std::int64_t t);
    // Whether anything is due at or before T.
    bool hasWorkDueBy(std::int64_t t) const;

    // What a checker may ask about the timers the loop keeps alive and the background jobs
    // not yet finished.
    struct TimerState {
        const Timer* timer;
        bool repeats;
        bool scheduled; // false once moved to the distant future
        std::int64_t due;
    };
    std::vector<TimerState> liveTimers() const;
    std::size_t unfinishedJobs() const;

    std::shared_ptr<Timer> scheduledTimer(Milliseconds interval, bool repeats,
                                          Work action) override;
    void dispatchAsyncMain(Work work) override;
    void dispatchAfterMain(Milliseconds delay, Work work) override;
    void dispatchAsyncGlobal(Work work) override;
    void sleep(Milliseconds duration) override;
    double uptimeSeconds() override;

  private:
    friend class SimTimer;
    using Key = std::pair<std::int64_t, std::uint64_t>; // due time, queue order

    void enqueue(std::int64_t due, Work work);
    void scheduleTimer(const std::shared_ptr<SimTimer>& timer);
    void runJobSlice(BackgroundJob& job);

    mutable std::recursive_mutex mutex_;
    std::int64_t clock_ = 0;
    std::uint64_t nextOrder_ = 0;
    std::map<Key, Work> queue_;
    std::vector<std::shared_ptr<SimTimer>> timers_; // scheduled timers stay alive here
    std::vector<std::unique_ptr<BackgroundJob>> jobs_;
};

} // namespace velmora::sim
