// SPDX-License-Identifier: MIT
#include "qt_run_loop.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <thread>
#include <time.h>

namespace velmora::qt {

class QtTimer final : public Timer {
  public:
    QtTimer(QtRunLoop& loop, Milliseconds interval, bool repeats, RunLoop::Work action)
        : loop_(loop), interval_(interval), repeats_(repeats), action_(std::move(action)) {}
    ~QtTimer() override { loop_.deadlines_->cancel(pending_); }

    void start() { arm(DeadlineQueue::Clock::now() + interval_); }

    // A timer moved to the distant future can never fire again, and no one can move it back:
    // it is as good as gone, so the run loop lets go of it.
    void setFireDateDistantFuture() override { invalidate(); }

    void invalidate() override {
        loop_.deadlines_->cancel(pending_);
        pending_ = 0;
        loop_.unschedule(this);
    }

  private:
    void arm(DeadlineQueue::Clock::time_point due) {
        due_ = due;
        pending_ = loop_.deadlines_->add(due, [this] { fire(); });
    }

    void fire() {
        pending_ = 0;
        // Keep the action alive through the call: it may drop the last reference to us.
        RunLoop::Work action = action_;
        if (repeats_) {
            // Firings keep their rhythm; after a stall longer than the interval, the missed
            // ones are skipped rather than run in a burst.
            const auto now = DeadlineQueue::Clock::now();
            arm(due_ + interval_ > now ? due_ + interval_ : now + interval_);
        } else {
            loop_.unschedule(this);
        }
        if (!loop_.drained())
            action();
    }

    QtRunLoop& loop_;
    const Milliseconds interval_;
    const bool repeats_;
    RunLoop::Work action_;
    DeadlineQueue::Clock::time_point due_{};
    DeadlineQueue::Id pending_ = 0;
};

namespace {
// The receiver is ours alone: any user type will do.
constexpr QEvent::Type kMainWorkEvent = static_cast<QEvent::Type>(QEvent::User + 1);
} // namespace

MainContext::MainContext() : wake_(std::make_unique<QEvent>(kMainWorkEvent)) {}

void MainContext::post(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(std::move(work));
    }
    QCoreApplication::postEvent(this, wake_->clone());
}

bool MainContext::event(QEvent* event) {
    std::function<void()> work;
    {
        std::lock_guard lock(mutex_);
        if (event->type() == kMainWorkEvent) {
            if (pending_.empty())
                return true;
            work = std::move(pending_.front());
            pending_.pop_front();
        }
    }
    if (!work)
        return QObject::event(event);
    work();
    return true;
}

void MainContext::dropPending() {
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(mutex_);
        dropped.swap(pending_);
    }
}

QtRunLoop::QtRunLoop()
    : context_(std::make_unique<MainContext>()),
      deadlines_(std::make_unique<DeadlineQueue>(*context_)) {}

QtRunLoop::~QtRunLoop() {
    drain();
    scheduled_.clear();
    // Queued work may hold the last reference to a timer, which cancels its deadline when it
    // goes: that must happen while the deadline queue is still there.
    QCoreApplication::removePostedEvents(context_.get());
    context_->dropPending();
}

void QtRunLoop::drain() {
    {
        std::lock_guard lock(globalMutex_);
        drained_.store(true);
    }
    // Jobs still running may hand work back or start others: both are dropped from now on.
    pool_.waitForDone();
    std::lock_guard lock(globalMutex_);
}

RunLoop::Work QtRunLoop::unlessDrained(Work work) {
    return [this, work = std::move(work)] {
        // Queued work dies with the context, and this run loop owns the context.
        if (!drained())
            work();
    };
}

bool QtRunLoop::onMainThread() const {
    return QThread::currentThread() == context_->thread();
}

std::shared_ptr<Timer> QtRunLoop::scheduledTimer(Milliseconds interval, bool repeats, Work action) {
    auto timer = std::make_shared<QtTimer>(*this, interval, repeats, std::move(action));
    if (onMainThread()) {
        scheduled_.push_back(timer);
        timer->start();
    } else {
        // Timers belong to the main run loop: hand the start over to it.
        context_->post([this, timer] {
            scheduled_.push_back(timer);
            timer->start();
        });
    }
    return timer;
}

void QtRunLoop::unschedule(const QtTimer* timer) {
    auto it = std::find_if(scheduled_.begin(), scheduled_.end(),
                           [timer](const auto& held) { return held.get() == timer; });
    if (it == scheduled_.end())
        return;
    // The timer may be inside its own timeout: let go of it once that has returned.
    QMetaObject::invokeMethod(
        context_.get(), [held = std::move(*it)] {}, Qt::QueuedConnection);
    scheduled_.erase(it);
}

void QtRunLoop::dispatchAsyncMain(Work work) {
    if (drained())
        return;
    context_->post(unlessDrained(std::move(work)));
}

void QtRunLoop::dispatchAfterMain(Milliseconds delay, Work work) {
    if (drained())
        return;
    // Measured from now, also when the main thread gets to it later.
    const auto due = DeadlineQueue::Clock::now() + delay;
    work = unlessDrained(std::move(work));
    if (onMainThread()) {
        deadlines_->add(due, std::move(work));
        return;
    }
    context_->post(
        [this, due, work = std::move(work)]() mutable { deadlines_->add(due, std::move(work)); });
}

void QtRunLoop::dispatchAsyncGlobal(Work work) {
    std::lock_guard lock(globalMutex_);
    if (drained())
        return;
    globalPending_.push_back(std::move(work));
    // One job per item: whichever job runs first takes the oldest.
    pool_.start([this] {
        Work next;
        {
            std::lock_guard lock(globalMutex_);
            next = std::move(globalPending_.front());
            globalPending_.pop_front();
        }
        next();
        next = nullptr;
        // Through the lock, the job's end is seen to come before drain() returns (the pool's
        // own wait is invisible to tools that check threads).
        std::lock_guard lock(globalMutex_);
    });
}

void QtRunLoop::sleep(Milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

double QtRunLoop::uptimeSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace velmora::qt
