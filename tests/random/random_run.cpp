// SPDX-License-Identifier: MIT
#include "random_run.h"

#include "event_stream.h"
#include "invariants.h"
#include "scenario.h"
#include "scenario_runner.h"
#include "sim/memory_defaults.h"
#include "sim_desktop.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <optional>
#include <ostream>
#include <sstream>

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

Outcome failedAt(std::size_t line, const std::string& what) {
    return Outcome{true, signatureOf(what), what, line};
}

// Runs the lines NEXT hands out on a fresh desktop. A line that does not parse fails a
// generated run; a replay skips it (its window went with a dropped line). APPLIED, when given,
// gets the lines that ran.
template <typename NextLine>
Outcome runLines(NextLine next, bool replaying, RunStats& stats,
                 std::vector<std::string>* applied = nullptr) {
    Run run;
    std::size_t index = 0;
    for (const std::string* line; (line = next()) != nullptr; ++index) {
        std::optional<std::string> failure;
        const bool ran = run.step(*line, failure);
        ++stats.lines;
        if (ran && applied)
            applied->push_back(*line);
        if (failure && (ran || !replaying))
            return failedAt(index, *failure);
    }
    return {};
}

Outcome replayLines(const std::vector<std::string>& lines,
                    std::vector<std::string>* applied = nullptr) {
    std::size_t at = 0;
    RunStats ignored;
    return runLines([&]() { return at < lines.size() ? &lines[at++] : nullptr; }, true, ignored,
                    applied);
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

Outcome replay(const std::vector<std::string>& lines) {
    return replayLines(lines);
}

std::vector<std::string> shrink(std::vector<std::string> lines, const Outcome& outcome,
                                int maxReplays) {
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
    // Runs are deterministic: no shorter prefix fails, as the run would have failed there.
    if (lines.size() > outcome.line + 1)
        lines.resize(outcome.line + 1);

    // Without chunks of lines, halving the chunk down to single lines.
    for (std::size_t chunk = std::max<std::size_t>(lines.size() / 2, 1); replays < maxReplays;
         chunk /= 2) {
        for (std::size_t start = 0; start < lines.size() && replays < maxReplays;) {
            std::vector<std::string> candidate(lines.begin(),
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

Outcome runAndShrink(std::uint64_t seed, std::uint64_t events, std::ostream& out, RunStats& stats) {
    const auto start = std::chrono::steady_clock::now();
    EventStream stream(seed);
    std::vector<std::string> pending = stream.prologue();
    std::size_t at = 0;
    const Outcome outcome = runLines(
        [&]() -> const std::string* {
            while (at == pending.size()) {
                if (stats.events == events)
                    return nullptr;
                if (stats.events != 0 && stats.events % 100000 == 0)
                    out << "seed " << seed << ": " << stats.events << " events in "
                        << std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                               .count()
                        << " s\n"
                        << std::flush;
                ++stats.events;
                pending = stream.next();
                at = 0;
            }
            return &pending[at++];
        },
        false, stats);
    if (!outcome.failed)
        return outcome;

    // The same lines again, up to the one that failed (the stream is the seed's alone).
    std::vector<std::string> lines = generateLines(seed, stats.events);
    out << "velmora-random: seed " << seed << " failed after line " << outcome.line + 1 << ": "
        << outcome.what << "\n";
    lines = shrink(std::move(lines), outcome);
    out << "# velmora-random seed " << seed << ": " << outcome.what << "\n"
        << "# the last line below shows it (" << lines.size() << " lines)\n";
    for (const auto& line : lines)
        out << line << "\n";
    return outcome;
}

} // namespace velmora::random
