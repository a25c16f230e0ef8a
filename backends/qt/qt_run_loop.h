// SPDX-License-Identifier: MIT
#pragma once
// The run loop of the real agent: Qt's event loop on the main thread (queued calls, and timers
// on a deadline queue of their own) and a thread pool for the global queue. Nothing here wakes
// the process unless something is due: no polling timer of our own.

#include "deadline_queue.h"
#include "platform/run_loop.h"

#include <QEvent>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace velmora::qt {

class QtTimer;

// The main thread's end of the run loop: the object whose thread is the main thread and whose
// lifetime bounds queued work. Work from other threads passes through its own lock, which
// tools that check threads can see (Qt's event queue locks are invisible to them); Qt's event
// queue carries only a wake-up per item, so work still runs in the order it was queued.
class MainContext final : public QObject {
  public:
    MainContext();
    void post(std::function<void()> work);
    bool event(QEvent* event) override;
    // Work not yet run is let go of here and now.
    void dropPending();

  private:
    // Each wake-up is a copy of this one, made by Qt itself: event filters of the application
    // read the event before this object can take its lock.
    const std::unique_ptr<QEvent> wake_;
    std::mutex mutex_;
    std::deque<std::function<void()>> pending_;
};

class QtRunLoop final : public RunLoop {
  public:
    // On the main thread, once the QCoreApplication exists.
    QtRunLoop();
    // Drains (below); queued main-thread work not yet run is dropped.
    ~QtRunLoop() override;

    // The end of the run loop, on the main thread once its event loop has returned and before
    // anything the jobs use goes away: waits for the global queue's jobs to end. From then on
    // nothing it was given runs any more: later jobs, main-thread work (also what the last
    // jobs handed back) and timer firings are dropped.
    void drain();

    std::shared_ptr<Timer> scheduledTimer(Milliseconds interval, bool repeats,
                                          Work action) override;
    void dispatchAsyncMain(Work work) override;
    void dispatchAfterMain(Milliseconds delay, Work work) override;
    void dispatchAsyncGlobal(Work work) override;
    void sleep(Milliseconds duration) override;
    // CLOCK_MONOTONIC: seconds since boot, not counting suspend.
    double uptimeSeconds() override;

    // The object whose thread is the main thread and whose lifetime bounds queued work.
    QObject& mainContext() { return *context_; }

  private:
    friend class QtTimer;
    void unschedule(const QtTimer* timer);
    bool onMainThread() const;
    bool drained() const { return drained_.load(); }
    // WORK as queued for the main thread: it does nothing once the run loop is drained.
    Work unlessDrained(Work work);

    std::unique_ptr<MainContext> context_;
    // Timers and delayed work, to the microsecond. Outlives the timers below.
    std::unique_ptr<DeadlineQueue> deadlines_;
    std::vector<std::shared_ptr<QtTimer>> scheduled_; // main thread only
    std::atomic<bool> drained_{false};
    // No job starts once drain has begun. The jobs' work passes through here, not through the
    // pool, for the same reason as the main thread's (MainContext).
    std::mutex globalMutex_;
    std::deque<Work> globalPending_;
    QThreadPool pool_; // destroyed first: waits for its jobs
};

} // namespace velmora::qt
