// SPDX-License-Identifier: MIT
#pragma once
// What the X11 tools of the benchmarks and the end-to-end tests' client (tests/e2e) share.

#include "x11/xcb_xkb.h" // xcb/xkb.h, whose member named "explicit" C++ cannot read as it is

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <time.h>
#include <vector>

namespace velmora::xcb_tool {

// Says what went wrong after the program's name and ends it with status 2.
[[noreturn]] inline void fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, message.c_str());
    std::exit(2);
}

// CLOCK_MONOTONIC in milliseconds.
inline double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The median of SAMPLES (at least one).
inline double medianOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// Prints the count, median, 90th percentile, minimum and maximum of SAMPLES (milliseconds, at
// least one).
inline void report(const char* what, std::vector<double> samples) {
    const double median = medianOf(samples);
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    std::printf("%s: n=%zu median=%.2f ms p90=%.2f ms min=%.2f ms max=%.2f ms\n", what, n, median,
                samples[(n * 9 + 9) / 10 - 1], samples.front(), samples.back());
}

} // namespace velmora::xcb_tool
