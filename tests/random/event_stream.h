// SPDX-License-Identifier: MIT
#pragma once
// A seeded stream of scenario lines for the random event driver: first the world (input
// sources, applications, screens, the store, windows) and `launch`, then one event per line,
// drawn from everything the simulated desktop offers. The same seed always gives the same
// lines, so a failing run can be replayed and cut down from its seed alone.
//
// Every line is a scenario-file line: a shortened run prints as a scenario that
// tests/scenarios can keep. Events use `wait`, never `at`, so any subset of the lines still
// parses, except window statements whose window went with a dropped line (the replay skips
// those).

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::random {

class EventStream {
  public:
    explicit EventStream(std::uint64_t seed);

    // The lines before the first event; the last one is `launch`.
    const std::vector<std::string>& prologue() const { return prologue_; }
    // The next event: one or more lines (a double tap, or a whole settings file replaced by
    // another program, is several).
    std::vector<std::string> next();

  private:
    struct Window {
        std::string handle;
        std::string owner;
        double top = 0;
    };

    using Make = std::function<std::string()>;

    std::uint64_t below(std::uint64_t n) {
        return std::uniform_int_distribution<std::uint64_t>(0, n - 1)(rng_);
    }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    template <typename T> const T& pick(const std::vector<T>& items) {
        return items[below(items.size())];
    }
    // One of KINDS, each drawn as often as its weight says.
    template <typename T> T weighted(std::initializer_list<std::pair<int, T>> kinds) {
        int total = 0;
        for (const auto& kind : kinds)
            total += kind.first;
        auto at = static_cast<int>(below(static_cast<std::uint64_t>(total)));
        for (const auto& [weight, item] : kinds)
            if ((at -= weight) < 0)
                return item;
        return {};
    }
    // PATTERN with its choices made and its values drawn; several lines are separated by
    // newlines.
    std::string expand(std::string_view pattern);
    std::string value(std::string_view name);
    std::string listOf(const char* brackets, std::uint64_t most, const Make& make);
    void keepWindow(const Window& window);

    void makeWorld();
    std::string anyApp();
    std::string anyRow();
    std::string waitLine();
    std::string screenLine();
    std::string windowLine();
    std::string mouseUpLine();
    std::string storeValue(const std::string& key);
    std::string garbageValue();
    std::string rulesValue();
    std::string shortcutsValue();
    std::string flagsEvent();
    std::string storeEvent();
    std::string popoverEvent();
    std::string windowEvent();
    std::string sourceEvent();

    std::mt19937_64 rng_;
    std::vector<std::string> prologue_;
    std::vector<std::string> apps_;
    std::vector<std::string> inputIds_;
    std::vector<std::string> inputNames_;
    std::vector<Window> windows_;
    std::uint64_t nextWindow_ = 0;
    int inputsAdded_ = 0;
    double originScreenHeight_ = 900;
    bool screenDeclared_ = false;
    double seconds_ = 0; // the time= stamps of flags events, when one is written
};

} // namespace velmora::random
