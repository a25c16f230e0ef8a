// SPDX-License-Identifier: MIT
#pragma once
// What must hold after every step of a random run, whatever the events were: the current
// input source exists, the switch counter never goes down unless another program wrote it, no
// two hotkeys share an input source, the catalogue's lists stay aligned and without duplicates,
// the settings print and read back the same, and no poll, check or repeating timer outlives
// what licenses it (each message in invariants.cpp says which). before() sees each line first,
// as some lines license a change.

#include "sim/memory_defaults.h"
#include "sim_desktop.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::random {

class InvariantChecker {
  public:
    InvariantChecker(sim::SimDesktop& desktop, sim::MemoryDefaults& store)
        : desktop_(desktop), store_(store) {}

    // LINE is about to run.
    void before(const std::string& line);
    // LINE ran: the first invariant that does not hold, described; none when all hold.
    std::optional<std::string> after(const std::string& line);

  private:
    std::optional<std::string> checkInputSource();
    std::int64_t counterValue();
    std::optional<std::string> checkCounter();
    std::optional<std::string> checkLists();
    std::optional<std::string> checkStore();
    std::optional<std::string> checkTimers(const std::string& line);
    bool scheduled(const std::shared_ptr<Timer>& timer) const;

    sim::SimDesktop& desktop_;
    sim::MemoryDefaults& store_;

    std::optional<std::int64_t> counter_;
    bool counterWrittenOutside_ = false;
    std::uint64_t storeVersion_ = ~std::uint64_t{0};

    // Times (virtual milliseconds) of what licenses a poll or a check to run.
    std::int64_t lastFlagsAt_ = -1;
    bool lastFlagsStoppedOpenPoll_ = false;
    std::int64_t clockBefore_ = 0;
    std::int64_t waitedSinceMouseUp_ = 0; // run-loop time since the last mouse-up
    std::optional<std::int64_t> spotlightGoneSince_ = 0;
    std::optional<std::int64_t> alfredGoneSince_ = 0;
    bool alfredFlagsSinceOpen_ = false; // a flags event came while the Alfred flag was set
};

} // namespace velmora::random
