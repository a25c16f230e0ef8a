// SPDX-License-Identifier: MIT
#include "invariants.h"

#include "detection/launcher_panels.h"
#include "store/plist_conversion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>

namespace velmora::random {

namespace {

std::string firstWord(const std::string& line) {
    return line.substr(0, line.find(' '));
}

bool anyWindow(const PlistArray& windows, bool (*isPanel)(const PlistValue&)) {
    return std::any_of(windows.begin(), windows.end(), isPanel);
}

// Tracks since when no panel of a kind has been on screen.
void trackGone(std::optional<std::int64_t>& goneSince, bool present, std::int64_t now) {
    if (present)
        goneSince.reset();
    else if (!goneSince)
        goneSince = now;
}

} // namespace

void InvariantChecker::before(const std::string& line) {
    // Another program writing the counter may set it to anything, lower values included.
    counterWrittenOutside_ =
        line.starts_with("defaults changedTimes ") || line == "defaults-remove changedTimes";
    clockBefore_ = desktop_.runLoop().now();
}

std::optional<std::string> InvariantChecker::after(const std::string& line) {
    if (auto failure = checkInputSource())
        return failure;
    if (!desktop_.agent()) // the world is still being made
        return std::nullopt;
    for (auto check : {&InvariantChecker::checkCounter, &InvariantChecker::checkLists,
                       &InvariantChecker::checkStore})
        if (auto failure = (this->*check)())
            return failure;
    return checkTimers(line);
}

std::optional<std::string> InvariantChecker::checkInputSource() {
    const auto& world = desktop_.world();
    if (world.currentInputID && !world.input(*world.currentInputID))
        return "the current input source " + *world.currentInputID + " does not exist";
    return std::nullopt;
}

// The counter as a number: a stored real held at the ends of the 64-bit range (NaN as 0),
// read here rather than by the code under test; other types as the agent reads them.
std::int64_t InvariantChecker::counterValue() {
    auto stored = store_.objectForKey("changedTimes");
    if (stored && stored->integer())
        return *stored->integer();
    if (stored && stored->real()) {
        const double real = *stored->real();
        if (std::isnan(real))
            return 0;
        if (real >= 9223372036854775808.0)
            return std::numeric_limits<std::int64_t>::max();
        if (real <= -9223372036854775808.0)
            return std::numeric_limits<std::int64_t>::min();
        return static_cast<std::int64_t>(real);
    }
    return desktop_.agent()->settings().integerForKey("changedTimes");
}

std::optional<std::string> InvariantChecker::checkCounter() {
    const std::int64_t counter = counterValue();
    if (counter_ && !counterWrittenOutside_ && counter < *counter_)
        return "changedTimes went down from " + std::to_string(*counter_) + " to " +
               std::to_string(counter);
    counter_ = counter;
    return std::nullopt;
}

std::optional<std::string> InvariantChecker::checkLists() {
    std::set<std::string> hotKeys;
    for (const auto& hotKey : desktop_.hotKeys().registered())
        if (hotKey && !hotKeys.insert(hotKey->identifier()).second)
            return "two hotkeys are registered for " + hotKey->identifier();
    const EditorLists& lists = desktop_.agent()->editorLists();
    if (lists.allApplications) {
        std::set<std::string> seen;
        for (const auto& app : *lists.allApplications)
            if (!seen.insert(app).second)
                return "the application list holds " + app + " twice";
    }
    return std::nullopt;
}

std::optional<std::string> InvariantChecker::checkStore() {
    const std::uint64_t version = store_.version();
    if (version == storeVersion_)
        return std::nullopt;
    storeVersion_ = version;
    store::Domain domain;
    domain.values = store_.snapshot();
    auto printed = store::domainToXml(domain);
    if (!printed)
        return "the settings cannot be printed as a settings file";
    std::string error;
    auto parsed = store::parseDomain(*printed, &error);
    if (!parsed)
        return "the printed settings do not parse: " + error;
    auto again = store::domainToXml(*parsed);
    if (!again || *again != *printed)
        return "the settings read back differ from the settings printed";
    return std::nullopt;
}

bool InvariantChecker::scheduled(const std::shared_ptr<Timer>& timer) const {
    if (!timer)
        return false;
    for (const auto& state : desktop_.runLoop().liveTimers())
        if (state.timer == timer.get())
            return state.scheduled;
    return false;
}

std::optional<std::string> InvariantChecker::checkTimers(const std::string& line) {
    const std::int64_t now = desktop_.runLoop().now();
    const LauncherDetection& launchers = desktop_.agent()->launchers();

    if (firstWord(line) == "flags") {
        const std::uint64_t flags = std::strtoull(line.c_str() + 6, nullptr, 16);
        lastFlagsAt_ = now;
        lastFlagsStoppedOpenPoll_ = releaseStopsOpenPoll(flags);
    } else if (firstWord(line) == "mouseup") {
        waitedSinceMouseUp_ = 0;
    } else if (firstWord(line) == "wait") {
        // Background work runs only while the run loop does: a blocking wait of the main
        // thread holds it back.
        waitedSinceMouseUp_ += now - clockBefore_;
    }
    const auto& windows = desktop_.world().windows;
    trackGone(spotlightGoneSince_, anyWindow(windows, isSpotlightPanel), now);
    trackGone(alfredGoneSince_, anyWindow(windows, isAlfredPanel), now);

    // Only the agent's three polls repeat; any other repeating timer is one it lost hold of
    // and can never stop.
    for (const auto& state : desktop_.runLoop().liveTimers()) {
        if (!state.repeats || !state.scheduled)
            continue;
        if (state.timer != launchers.spotlightCheckTimer.get() &&
            state.timer != launchers.timerOfCheckAlfred.get() &&
            state.timer != launchers.timerOfCheckAlfredWillOpen.get())
            return "a repeating timer runs that the agent no longer holds";
    }

    // A blocking wait moves the clock without running what falls due meanwhile: the times
    // below are judged once the run loop has caught up.
    if (desktop_.runLoop().hasWorkDueBy(now))
        return std::nullopt;

    const auto interval = [](Milliseconds ms) { return static_cast<std::int64_t>(ms.count()); };
    const std::int64_t closePoll = interval(LauncherDetection::kClosePollInterval);
    // Alfred's panel found by the open poll is watched from the next flags event on (the
    // release of the hotkey's modifier, as a rule); until then its flag stands alone.
    if (!launchers.alfredPanelSeen)
        alfredFlagsSinceOpen_ = false;
    else if (firstWord(line) == "flags")
        alfredFlagsSinceOpen_ = true;
    const std::pair<bool, const char*> broken[] = {
        {lastFlagsStoppedOpenPoll_ &&
             now >= lastFlagsAt_ + interval(LauncherDetection::kOpenPollStopDelay) &&
             scheduled(launchers.timerOfCheckAlfredWillOpen),
         "the Alfred open poll still runs after the keys were released"},
        {spotlightGoneSince_ && now >= *spotlightGoneSince_ + closePoll &&
             scheduled(launchers.spotlightCheckTimer),
         "the Spotlight close poll still runs with no panel on screen"},
        {alfredGoneSince_ && now >= std::max(*alfredGoneSince_, lastFlagsAt_) + closePoll &&
             scheduled(launchers.timerOfCheckAlfred),
         "the Alfred close poll still runs with no panel on screen"},
        // A panel taken for open is watched until it closes, else its rule stays in force.
        {launchers.spotlightPanelSeen && !scheduled(launchers.spotlightCheckTimer),
         "the Spotlight panel counts as open but nothing watches for it to close"},
        {alfredFlagsSinceOpen_ && !scheduled(launchers.timerOfCheckAlfred),
         "the Alfred panel counts as open but a flags event since did not start its close poll"},
        // A Safari check tests the cursor 20 times, 10 ms apart; Chrome's once.
        {waitedSinceMouseUp_ >= 200 && desktop_.runLoop().unfinishedJobs() != 0,
         "an address-bar check still runs 0.2 s after the last mouse-up"},
    };
    for (const auto& [fails, what] : broken)
        if (fails)
            return what;
    return std::nullopt;
}

} // namespace velmora::random
