// SPDX-License-Identifier: MIT
// How close to their time the run loop's timers fire: the agent's waits (100 ms before a
// selection, 200 ms after a screen change, the 100 ms and 200 ms polls of the launcher panels)
// are behaviour, not a minimum. Each delay is asked for 40 times, one after the other, through
// dispatchAfterMain and through a one-shot timer, and the moment of firing is compared with the
// moment asked for (CLOCK_MONOTONIC). Prints the median, the earliest and the latest firing in
// microseconds; negative is early.

#include "qt/qt_run_loop.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using velmora::Milliseconds;

void report(const char* what, Milliseconds delay, std::vector<double> lateness) {
    std::sort(lateness.begin(), lateness.end());
    const std::size_t n = lateness.size();
    const double median = n % 2 ? lateness[n / 2] : (lateness[n / 2 - 1] + lateness[n / 2]) / 2;
    std::printf("%s %lld ms: n=%zu median=%+.0f us earliest=%+.0f us latest=%+.0f us\n", what,
                static_cast<long long>(delay.count()), n, median, lateness.front(),
                lateness.back());
}

// Runs COUNT timings of DELAY one after the other through SCHEDULE, inside the event loop.
std::vector<double>
measure(velmora::qt::QtRunLoop& loop, Milliseconds delay, int count,
        const std::function<void(Milliseconds, velmora::RunLoop::Work)>& schedule) {
    std::vector<double> lateness;
    std::function<void()> next = [&] {
        if (static_cast<int>(lateness.size()) == count) {
            QCoreApplication::exit(0);
            return;
        }
        const Clock::time_point due = Clock::now() + delay;
        schedule(delay, [&, due] {
            lateness.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - due).count());
            next();
        });
    };
    loop.dispatchAsyncMain(next);
    QCoreApplication::exec();
    return lateness;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    velmora::qt::QtRunLoop loop;
    constexpr int kCount = 40;
    for (Milliseconds delay : {Milliseconds(50), Milliseconds(100), Milliseconds(200)}) {
        report("dispatchAfterMain", delay,
               measure(loop, delay, kCount, [&](Milliseconds d, velmora::RunLoop::Work work) {
                   loop.dispatchAfterMain(d, std::move(work));
               }));
        report("scheduledTimer   ", delay,
               measure(loop, delay, kCount, [&](Milliseconds d, velmora::RunLoop::Work work) {
                   loop.scheduledTimer(d, false, std::move(work));
               }));
    }
    return 0;
}
