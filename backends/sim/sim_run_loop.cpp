// SPDX-License-Identifier: MIT
#include "sim_run_loop.h"

#include <algorithm>
#include <condition_variable>
#include <thread>

namespace velmora::sim {

namespace {
// Thrown into a suspended background job when the run loop goes away, to unwind it.
struct JobCancelled {};
thread_local BackgroundJob* currentJob = nullptr;
} // namespace

// One global-queue job: a thread that only runs while the scheduler has handed it control.
class BackgroundJob {
  public:
    explicit BackgroundJob(RunLoop::Work work) : work_(std::move(work)) {}

    ~BackgroundJob() {
        if (thread_.joinable()) {
            {
                std::unique_lock lock(m_);
                cancelled_ = true;
                turn_ = Turn::Job;
            }
            cv_.notify_all();
            thread_.join();
        }
    }

    // Scheduler side: run the job until it sleeps or finishes.
    void runSlice() {
        std::unique_lock lock(m_);
        turn_ = Turn::Job;
        if (!thread_.joinable()) {
            thread_ = std::thread([this] { body(); });
        } else {
            cv_.notify_all();
        }
        cv_.wait(lock, [this] { return turn_ == Turn::Scheduler; });
    }

    // Job side: hand control back and wait for the next slice.
    void yield() {
        std::unique_lock lock(m_);
        turn_ = Turn::Scheduler;
        cv_.notify_all();
        cv_.wait(lock, [this] { return turn_ == Turn::Job; });
        if (cancelled_)
            throw JobCancelled{};
    }

    bool finished() const { return finished_; }

  private:
    enum class Turn { Scheduler, Job };

    void body() {
        {
            std::unique_lock lock(m_);
            cv_.wait(lock, [this] { return turn_ == Turn::Job; });
        }
        currentJob = this;
        if (!cancelled_) {
            try {
                work_();
            } catch (const JobCancelled&) {
            }
        }
        std::unique_lock lock(m_);
        finished_ = true;
        turn_ = Turn::Scheduler;
        cv_.notify_all();
    }

    RunLoop::Work work_;
    std::thread thread_;
    std::mutex m_;
    std::condition_variable cv_;
    Turn turn_ = Turn::Scheduler;
    bool cancelled_ = false;
    bool finished_ = false;
};

class SimTimer final : public Timer, public std::enable_shared_from_this<SimTimer> {
  public:
    SimTimer(SimRunLoop& loop, std::int64_t interval, bool repeats, RunLoop::Work action)
        : loop_(loop), interval_(interval), repeats_(repeats), action_(std::move(action)) {}

    void setFireDateDistantFuture() override {
        std::lock_guard lock(loop_.mutex_);
        due_ = SimRunLoop::kDistantFuture;
        ++generation_; // a queued firing of the old date is void
    }

    void invalidate() override {
        std::lock_guard lock(loop_.mutex_);
        valid_ = false;
        ++generation_;
        auto& timers = loop_.timers_;
        auto self = shared_from_this();
        timers.erase(std::remove(timers.begin(), timers.end(), self), timers.end());
    }

    void fire(std::uint64_t generation) {
        if (!valid_ || generation != generation_)
            return;
        if (repeats_) {
            // A late firing does not make up for the ones it missed.
            std::int64_t next = due_ + interval_;
            if (next <= loop_.clock_)
                next += ((loop_.clock_ - next) / interval_ + 1) * interval_;
            due_ = next;
            loop_.scheduleTimer(shared_from_this());
        } else {
            valid_ = false;
            auto& timers = loop_.timers_;
            auto self = shared_from_this();
            timers.erase(std::remove(timers.begin(), timers.end(), self), timers.end());
        }
        auto action = action_; // the action may invalidate or replace this timer
        action();
    }

    SimRunLoop& loop_;
    std::int64_t interval_;
    bool repeats_;
    RunLoop::Work action_;
    std::int64_t due_ = 0;
    std::uint64_t generation_ = 0;
    bool valid_ = true;
};

SimRunLoop::SimRunLoop() = default;

SimRunLoop::~SimRunLoop() {
    // Suspended jobs unwind first, while the queue they may touch still exists.
    jobs_.clear();
    for (auto& t : timers_)
        t->valid_ = false;
}

std::int64_t SimRunLoop::now() const {
    std::lock_guard lock(mutex_);
    return clock_;
}

double SimRunLoop::uptimeSeconds() {
    return static_cast<double>(now()) / 1000.0;
}

void SimRunLoop::enqueue(std::int64_t due, Work work) {
    std::lock_guard lock(mutex_);
    queue_.emplace(Key{due, nextOrder_++}, std::move(work));
}

void SimRunLoop::scheduleTimer(const std::shared_ptr<SimTimer>& timer) {
    if (timer->due_ == kDistantFuture)
        return;
    std::weak_ptr<SimTimer> weak = timer;
    std::uint64_t generation = timer->generation_;
    enqueue(timer->due_, [weak, generation] {
        if (auto t = weak.lock())
            t->fire(generation);
    });
}

std::shared_ptr<Timer> SimRunLoop::scheduledTimer(Milliseconds interval, bool repeats,
                                                  Work action) {
    std::lock_guard lock(mutex_);
    std::int64_t ms = std::max<std::int64_t>(interval.count(), repeats ? 1 : 0);
    auto timer = std::make_shared<SimTimer>(*this, ms, repeats, std::move(action));
    timer->due_ = clock_ + ms;
    timers_.push_back(timer);
    scheduleTimer(timer);
    return timer;
}

void SimRunLoop::dispatchAsyncMain(Work work) {
    enqueue(now(), std::move(work));
}

void SimRunLoop::dispatchAfterMain(Milliseconds delay, Work work) {
    enqueue(now() + std::max<std::int64_t>(delay.count(), 0), std::move(work));
}

void SimRunLoop::dispatchAsyncGlobal(Work work) {
    auto job = std::make_unique<BackgroundJob>(std::move(work));
    BackgroundJob* raw = job.get();
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    enqueue(now(), [this, raw] { runJobSlice(*raw); });
}

void SimRunLoop::runJobSlice(BackgroundJob& job) {
    job.runSlice();
    if (job.finished()) {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(jobs_.begin(), jobs_.end(),
                               [&](const auto& j) { return j.get() == &job; });
        if (it != jobs_.end())
            jobs_.erase(it);
    }
}

void SimRunLoop::sleep(Milliseconds duration) {
    std::int64_t ms = std::max<std::int64_t>(duration.count(), 0);
    if (BackgroundJob* job = currentJob) {
        // Background work lets main-thread work run while it sleeps.
        enqueue(now() + ms, [this, job] { runJobSlice(*job); });
        job->yield();
        return;
    }
    // The main thread blocks: the clock moves, nothing else runs meanwhile.
    std::lock_guard lock(mutex_);
    clock_ += ms;
}

bool SimRunLoop::hasWorkDueBy(std::int64_t t) const {
    std::lock_guard lock(mutex_);
    return !queue_.empty() && queue_.begin()->first.first <= t;
}

std::vector<SimRunLoop::TimerState> SimRunLoop::liveTimers() const {
    std::lock_guard lock(mutex_);
    std::vector<TimerState> states;
    states.reserve(timers_.size());
    for (const auto& timer : timers_)
        states.push_back(
            {timer.get(), timer->repeats_, timer->due_ != kDistantFuture, timer->due_});
    return states;
}

std::size_t SimRunLoop::unfinishedJobs() const {
    std::lock_guard lock(mutex_);
    return jobs_.size();
}

void SimRunLoop::runUntil(std::int64_t t) {
    if (t < now())
        return;
    for (;;) {
        Work work;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty() || queue_.begin()->first.first > t)
                break;
            auto it = queue_.begin();
            clock_ = std::max(clock_, it->first.first);
            work = std::move(it->second);
            queue_.erase(it);
        }
        work();
    }
    std::lock_guard lock(mutex_);
    clock_ = std::max(clock_, t);
}

} // namespace velmora::sim
