#pragma once
// The run loop of the real agent: Qt's event loop on the main thread (timers, queued calls)
// and a thread pool for the global queue. Nothing here wakes the process unless something is
// due: no polling timer of our own.

#include "platform/run_loop.h"

#include <QObject>
#include <QThreadPool>

#include <memory>
#include <vector>

namespace velmora::qt {

class QtTimer;

class QtRunLoop final : public RunLoop {
  public:
    // On the main thread, once the QCoreApplication exists.
    QtRunLoop();
    // Waits for the global queue's jobs to end; queued main-thread work not yet run is dropped.
    ~QtRunLoop() override;

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

    std::unique_ptr<QObject> context_;
    std::vector<std::shared_ptr<QtTimer>> scheduled_; // main thread only
    QThreadPool pool_;                                // destroyed first: waits for its jobs
};

} // namespace velmora::qt
