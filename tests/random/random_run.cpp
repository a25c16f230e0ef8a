#include "random_run.h"

#include "event_stream.h"
#include "invariants.h"
#include "memory_defaults.h"
#include "scenario.h"
#include "scenario_runner.h"
#include "sim_desktop.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <iostream>
#include <ostream>
#include <sstream>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::random {

namespace {

// One run: a fresh desktop on its own store, the lines parsed one at a time, each statement
// followed by the checks.
class Run {
  public:
    Run() : desktop_(&store_), checker_(desktop_, store_), runner_(desktop_, failures_) {}

    // Runs LINE; false when it does not parse (nothing ran; FAILURE tells why).
    bool step(const std::string& line, std::optional<std::string>& failure) {
        statements_.clear();
        if (auto error = parser_.parseLine(line, statements_)) {
            failure = "the line does not parse: " + error->reason;
            return false;
        }
        checker_.before(line);
        for (const auto& statement : statements_)
            statement.run(runner_);
        // The trace is not looked at: a long run must not keep it.
        desktop_.trace().clear();
        failure = checker_.after(line);
        return true;
    }

    std::uint64_t checks() const { return checker_.checks(); }

  private:
    sim::MemoryDefaults store_;
    sim::SimDesktop desktop_;
    InvariantChecker checker_;
    std::ostringstream failures_;
    sim::ScenarioRunner runner_;
    sim::ScenarioLineParser parser_;
    std::vector<sim::Statement> statements_;
};

std::string signatureOf(const std::string& what) {
    std::string out;
    for (char c : what)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            out += c;
    return out;
}

// What a child run hands back.
struct Shared {
    std::uint64_t progress;
    std::uint64_t events;
    std::uint64_t lines;
    std::uint64_t checks;
    std::uint64_t failedLine;
    int failed;
    char what[512];
};

Shared* mapShared() {
    void* memory =
        mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return nullptr;
    std::memset(memory, 0, sizeof(Shared));
    return static_cast<Shared*>(memory);
}

void setWhat(Shared& shared, const std::string& what) {
    std::snprintf(shared.what, sizeof shared.what, "%s", what.c_str());
}

constexpr int kInvariantExit = 3;

// Runs BODY in a child and tells how it ended. BODY fills SHARED and returns whether an
// invariant failed.
Outcome inChild(Shared& shared, const std::function<bool(Shared&)>& body) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const bool failed = body(shared);
        std::fflush(nullptr);
        _exit(failed ? kInvariantExit : 0);
    }
    Outcome outcome;
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        outcome.failed = true;
        outcome.what = outcome.signature = "the child run could not be started";
        return outcome;
    }
    outcome.line = shared.progress;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return outcome;
    outcome.failed = true;
    if (WIFEXITED(status) && WEXITSTATUS(status) == kInvariantExit) {
        outcome.what = shared.what;
        outcome.line = shared.failedLine;
        outcome.signature = signatureOf(outcome.what);
    } else if (WIFSIGNALED(status)) {
        outcome.what = outcome.signature = "crash: signal " + std::to_string(WTERMSIG(status));
    } else {
        outcome.what = outcome.signature =
            "crash: exit status " + std::to_string(WEXITSTATUS(status));
    }
    return outcome;
}

} // namespace

std::vector<std::string> generateLines(std::uint64_t seed, std::uint64_t events) {
    EventStream stream(seed);
    std::vector<std::string> lines = stream.prologue();
    for (std::uint64_t i = 0; i < events; ++i)
        for (auto& line : stream.next())
            lines.push_back(std::move(line));
    return lines;
}

std::optional<Failure> runSeed(std::uint64_t seed, std::uint64_t events, RunStats& stats,
                               volatile std::uint64_t* progress, std::ostream* report) {
    const auto start = std::chrono::steady_clock::now();
    EventStream stream(seed);
    Run run;
    std::size_t index = 0;
    auto step = [&](const std::string& line) -> std::optional<Failure> {
        if (progress)
            *progress = index;
        std::optional<std::string> failure;
        run.step(line, failure);
        ++stats.lines;
        stats.checks = run.checks();
        if (failure)
            return Failure{index, *failure};
        ++index;
        return std::nullopt;
    };
    for (const auto& line : stream.prologue())
        if (auto failure = step(line))
            return failure;
    for (std::uint64_t i = 0; i < events; ++i) {
        if (report && i != 0 && i % 100000 == 0)
            *report
                << "seed " << seed << ": " << i << " events in "
                << std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()
                << " s\n"
                << std::flush;
        ++stats.events;
        for (const auto& line : stream.next())
            if (auto failure = step(line))
                return failure;
    }
    return std::nullopt;
}

std::optional<Failure> replayLines(const std::vector<std::string>& lines,
                                   std::vector<std::string>* applied) {
    Run run;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::optional<std::string> failure;
        if (!run.step(lines[i], failure))
            continue; // its window went with a dropped line
        if (applied)
            applied->push_back(lines[i]);
        if (failure)
            return Failure{i, *failure};
    }
    return std::nullopt;
}

Outcome replayInChild(const std::vector<std::string>& lines) {
    Shared* shared = mapShared();
    if (!shared)
        return Outcome{true, "no shared memory", "no shared memory", 0};
    Outcome outcome = inChild(*shared, [&](Shared& s) {
        // The progress of a replay is the line reached, for a crash.
        Run run;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            s.progress = i;
            std::optional<std::string> failure;
            if (!run.step(lines[i], failure))
                continue; // its window went with a dropped line
            if (failure) {
                s.failedLine = i;
                setWhat(s, *failure);
                return true;
            }
        }
        return false;
    });
    munmap(shared, sizeof(Shared));
    return outcome;
}

Outcome replayInProcess(const std::vector<std::string>& lines) {
    Outcome outcome;
    if (auto failure = replayLines(lines)) {
        outcome.failed = true;
        outcome.what = failure->what;
        outcome.signature = signatureOf(failure->what);
        outcome.line = failure->line;
    }
    return outcome;
}

std::vector<std::string> shrink(std::vector<std::string> lines, const Outcome& outcome,
                                Replay replay, int maxReplays) {
    int replays = 0;
    // Whether CANDIDATE fails the same way; on success cuts it after the failing line.
    auto failsSame = [&](std::vector<std::string>& candidate) {
        ++replays;
        Outcome again = replay(candidate);
        if (!again.failed || again.signature != outcome.signature)
            return false;
        candidate.resize(std::min(candidate.size(), again.line + 1));
        return true;
    };
    if (lines.size() > outcome.line + 1)
        lines.resize(outcome.line + 1);

    // The shortest failing prefix, by bisection (failing is taken to stay failing as lines
    // are added).
    std::size_t low = 1;
    std::size_t high = lines.size();
    while (low < high && replays < maxReplays) {
        const std::size_t mid = low + (high - low) / 2;
        std::vector<std::string> prefix(lines.begin(), lines.begin() + static_cast<long>(mid));
        if (failsSame(prefix))
            high = prefix.size();
        else
            low = mid + 1;
    }
    lines.resize(high);

    // Then without chunks of lines, halving the chunk down to single lines.
    for (std::size_t chunk = std::max<std::size_t>(lines.size() / 2, 1); replays < maxReplays;
         chunk /= 2) {
        for (std::size_t start = 0; start < lines.size() && replays < maxReplays;) {
            std::vector<std::string> candidate;
            candidate.reserve(lines.size());
            candidate.insert(candidate.end(), lines.begin(),
                             lines.begin() + static_cast<long>(start));
            const std::size_t end = std::min(lines.size(), start + chunk);
            candidate.insert(candidate.end(), lines.begin() + static_cast<long>(end), lines.end());
            if (!candidate.empty() && failsSame(candidate))
                lines = std::move(candidate);
            else
                start += chunk;
        }
        if (chunk == 1)
            break;
    }
    // Lines that no longer parse (their window went) ran as nothing: leave them out.
    std::vector<std::string> applied;
    replayLines(lines, &applied);
    return applied.empty() ? lines : applied;
}

void printScenario(std::ostream& out, std::uint64_t seed, const Outcome& outcome,
                   const std::vector<std::string>& lines) {
    out << "# velmora-random seed " << seed << ": " << outcome.what << "\n";
    out << "# the last line below shows it (" << lines.size() << " lines)\n";
    for (const auto& line : lines)
        out << line << "\n";
}

namespace {

Outcome runIsolated(std::uint64_t seed, std::uint64_t events, RunStats& stats) {
    Shared* shared = mapShared();
    if (!shared)
        return Outcome{true, "no shared memory", "no shared memory", 0};
    Outcome outcome = inChild(*shared, [&](Shared& s) {
        RunStats childStats;
        auto failure = runSeed(seed, events, childStats, &s.progress, &std::cout);
        s.events = childStats.events;
        s.lines = childStats.lines;
        s.checks = childStats.checks;
        if (failure) {
            s.failedLine = failure->line;
            setWhat(s, failure->what);
        }
        return failure.has_value();
    });
    stats.events += shared->events;
    stats.lines += shared->lines;
    stats.checks += shared->checks;
    munmap(shared, sizeof(Shared));
    return outcome;
}

Outcome runHere(std::uint64_t seed, std::uint64_t events, RunStats& stats) {
    Outcome outcome;
    if (auto failure = runSeed(seed, events, stats)) {
        outcome.failed = true;
        outcome.what = failure->what;
        outcome.signature = signatureOf(failure->what);
        outcome.line = failure->line;
    }
    return outcome;
}

} // namespace

std::optional<Outcome> runAndShrink(std::uint64_t seed, std::uint64_t events, std::ostream& out,
                                    RunStats& stats, bool isolate) {
    const Outcome outcome =
        isolate ? runIsolated(seed, events, stats) : runHere(seed, events, stats);
    if (!outcome.failed)
        return std::nullopt;

    // The same lines again, up to the one that failed (the stream is the seed's alone).
    std::vector<std::string> lines;
    {
        EventStream stream(seed);
        lines = stream.prologue();
        while (lines.size() <= outcome.line)
            for (auto& line : stream.next())
                lines.push_back(std::move(line));
    }
    out << "velmora-random: seed " << seed << " failed after line " << outcome.line + 1 << ": "
        << outcome.what << "\n";
    printScenario(out, seed, outcome,
                  shrink(std::move(lines), outcome, isolate ? replayInChild : replayInProcess));
    return outcome;
}

} // namespace velmora::random
