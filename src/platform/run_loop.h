// SPDX-License-Identifier: MIT
#pragma once
// Time, timers and queues: the main run loop, the main queue and a global background queue.

#include <chrono>
#include <functional>
#include <memory>

namespace velmora {

using Milliseconds = std::chrono::milliseconds;

class Timer {
  public:
    Timer() = default;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    virtual ~Timer() = default;

    // Moves the next firing to the distant future: the timer stays scheduled, never fires.
    virtual void setFireDateDistantFuture() = 0;
    // Removes the timer from the run loop for good.
    virtual void invalidate() = 0;
};

class RunLoop {
  public:
    using Work = std::function<void()>;

    RunLoop() = default;
    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;
    virtual ~RunLoop() = default;

    // A timer on the main run loop. A repeating one fires every INTERVAL after the first
    // firing until stopped. The run loop keeps the timer alive while it is scheduled.
    virtual std::shared_ptr<Timer> scheduledTimer(Milliseconds interval, bool repeats,
                                                  Work action) = 0;
    // Runs WORK on the main thread after what is already queued (callable from any thread).
    virtual void dispatchAsyncMain(Work work) = 0;
    // Runs WORK on the main thread DELAY from now (callable from any thread).
    virtual void dispatchAfterMain(Milliseconds delay, Work work) = 0;
    // Runs WORK on a background thread of default priority. Jobs may overlap.
    virtual void dispatchAsyncGlobal(Work work) = 0;
    // Blocks the calling thread for DURATION. On the main thread nothing else runs meanwhile.
    virtual void sleep(Milliseconds duration) = 0;
    // Seconds since system start-up, the clock of event time stamps.
    virtual double uptimeSeconds() = 0;
};

} // namespace velmora
