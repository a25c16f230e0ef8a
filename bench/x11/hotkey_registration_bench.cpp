// SPDX-License-Identifier: MIT
// Registering the stored hotkeys at start-up, on the display in $DISPLAY: 20 registerHotKey
// calls with their grabs (8 per combination when Num Lock and Scroll Lock have modifiers),
// and reading the keymap that a new centre starts from.

#include "x11/key_positions.h"
#include "x11/stored_key_combo.h"
#include "x11/x11_connection.h"
#include "x11/x11_hot_key_center.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

using velmora::x11::X11GlobalShortcuts;

std::unique_ptr<velmora::x11::X11Connection> connectOrDie() {
    std::string error;
    auto connection = velmora::x11::X11Connection::open("", &error);
    if (!connection) {
        std::fprintf(stderr, "velmora_bench_hotkey_registration: %s\n", error.c_str());
        std::exit(2);
    }
    return connection;
}

// Only the keymap's settle timer would use it, and nothing changes the keymap here.
class NoTimers final : public velmora::RunLoop {
  public:
    std::shared_ptr<velmora::Timer> scheduledTimer(velmora::Milliseconds, bool, Work) override {
        return nullptr;
    }
    void dispatchAsyncMain(Work) override {}
    void dispatchAfterMain(velmora::Milliseconds, Work) override {}
    void dispatchAsyncGlobal(Work) override {}
    void sleep(velmora::Milliseconds) override {}
    double uptimeSeconds() override { return 0; }
};

// Twenty combinations no desktop uses: the first twenty keys of the table with all four
// modifiers.
std::vector<velmora::HotKeyPtr> twentyHotKeys() {
    std::vector<velmora::HotKeyPtr> keys;
    for (const velmora::x11::KeyPosition& position : velmora::x11::keyPositions()) {
        if (keys.size() == 20)
            break;
        velmora::PlistValue combo(velmora::PlistDictionary{
            {"keyCode", position.keyCode}, {"modifierFlags", velmora::x11::kStoredModifierMask}});
        keys.push_back(velmora::GlobalShortcut::hotKeyWithIdentifierKeyCombo(
            "bench:" + std::string(position.xkbName), combo, nullptr));
    }
    return keys;
}

void BM_RegisterTwentyHotKeys(benchmark::State& state) {
    auto connection = connectOrDie();
    NoTimers runLoop;
    std::size_t logged = 0;
    auto keys = twentyHotKeys();
    for (auto _ : state) {
        state.PauseTiming();
        {
            X11GlobalShortcuts center(*connection, runLoop, [&](const std::string&) { ++logged; });
            state.ResumeTiming();
            for (const auto& key : keys)
                center.registerHotKey(key);
            state.PauseTiming();
        } // ungrabs everything
        state.ResumeTiming();
    }
    if (logged)
        state.SkipWithError("a grab was refused or a key is missing");
}
BENCHMARK(BM_RegisterTwentyHotKeys)->Unit(benchmark::kMillisecond);

void BM_NewCenterReadsTheKeymap(benchmark::State& state) {
    auto connection = connectOrDie();
    NoTimers runLoop;
    for (auto _ : state)
        X11GlobalShortcuts center(*connection, runLoop, nullptr);
}
BENCHMARK(BM_NewCenterReadsTheKeymap)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
