// SPDX-License-Identifier: MIT
// Reading the window list of the display in $DISPLAY (run-bench.sh puts 50 windows there):
// with the application identities already known, as the agent reads it again and again, and
// with every identity read afresh.

#include "x11/application_identities.h"
#include "x11/x11_connection.h"
#include "x11/x11_window_list.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

std::unique_ptr<velmora::x11::X11Connection> connectOrDie() {
    std::string error;
    auto connection = velmora::x11::X11Connection::open("", &error);
    if (!connection) {
        std::fprintf(stderr, "velmora_bench_window_list: %s\n", error.c_str());
        std::exit(2);
    }
    return connection;
}

void BM_WindowList(benchmark::State& state) {
    auto connection = connectOrDie();
    velmora::x11::ApplicationIdentities identities(*connection);
    velmora::x11::X11WindowList windows(*connection, identities);
    std::size_t count = windows.windowListSnapshot().size();
    for (auto _ : state)
        benchmark::DoNotOptimize(windows.windowListSnapshot());
    state.counters["windows"] = static_cast<double>(count);
}
BENCHMARK(BM_WindowList)->Unit(benchmark::kMillisecond);

void BM_WindowListFreshIdentities(benchmark::State& state) {
    auto connection = connectOrDie();
    std::size_t count = 0;
    for (auto _ : state) {
        velmora::x11::ApplicationIdentities identities(*connection);
        velmora::x11::X11WindowList windows(*connection, identities);
        count = windows.windowListSnapshot().size();
    }
    state.counters["windows"] = static_cast<double>(count);
}
BENCHMARK(BM_WindowListFreshIdentities)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
