// SPDX-License-Identifier: MIT
// velmora-random: runs seeded random event streams on the simulated desktop, checking the
// agent's invariants after every step, and prints a failing run cut down to a scenario.

#include "random_run.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <string>

namespace {

void usage(std::ostream& out) {
    out << "usage: velmora-random [--events N] [--seed S] [--seeds K] [--print]\n"
           "Runs K streams (default 1) of N events (default 10000) from seeds S, S+1, ...\n"
           "(default 1) on a fresh simulated desktop each, checking the invariants after every\n"
           "step. A failure is cut down to a scenario printed on standard output.\n"
           "--print prints the scenario lines of seed S instead of running them.\n"
           "Exit status: 0 every invariant held, 1 one did not, 2 bad arguments.\n";
}

bool number(const char* text, std::uint64_t& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtoull(text, &end, 0);
    return errno == 0 && end != text && *end == '\0' && text[0] != '-';
}

} // namespace

int main(int argc, char** argv) {
    std::uint64_t events = 10000, seed = 1, seeds = 1;
    bool print = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::uint64_t* target = arg == "--events"  ? &events
                                : arg == "--seed"  ? &seed
                                : arg == "--seeds" ? &seeds
                                                   : nullptr;
        if (arg == "--help" || arg == "-h")
            return usage(std::cout), 0;
        if (arg == "--print")
            print = true;
        else if (!target || i + 1 >= argc || !number(argv[++i], *target))
            return usage(std::cerr), 2;
    }

    if (print) {
        for (const auto& line : velmora::random::generateLines(seed, events))
            std::cout << line << '\n';
        return 0;
    }
    int status = 0;
    for (std::uint64_t k = 0; k < seeds; ++k) {
        const std::uint64_t s = seed + k;
        std::cout << "seed " << s << ": " << events << " events\n" << std::flush;
        velmora::random::RunStats stats;
        const auto start = std::chrono::steady_clock::now();
        auto failure = velmora::random::runAndShrink(s, events, std::cout, stats);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::cout << "seed " << s << ": " << (failure.failed ? "FAILED" : "all held") << "; "
                  << stats.events << " events, " << stats.lines << " lines in " << std::fixed
                  << std::setprecision(1) << seconds << " s (" << std::setprecision(0)
                  << (seconds > 0 ? stats.events / seconds : 0.0) << " events/s)\n"
                  << std::defaultfloat << std::flush;
        status = failure.failed ? 1 : status;
    }
    return status;
}
