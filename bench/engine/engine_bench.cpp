// SPDX-License-Identifier: MIT
// What one activation costs: the rule lookup of changeInputToAppID against the settings file
// holding 1,000 rules (file unchanged, and rewritten by another program before each lookup),
// and a whole activation through the dispatcher on the simulated desktop.

#include "sim_desktop.h"
#include "store/plist_file_defaults.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/time.h>

namespace {

namespace fs = std::filesystem;
using namespace velmora;

constexpr int kRules = 1000;
constexpr const char* kABC = "com.apple.keylayout.ABC";

PlistValue manyRules() {
    PlistDictionary rules;
    for (int i = 0; i < kRules; ++i)
        rules["com.example.app" + std::to_string(i)] =
            PlistDictionary{{"id", PlistValue(i % 2 ? kABC : "com.apple.keylayout.German")}};
    return rules;
}

struct TempDir {
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "velmora-bench-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path path;
};

// An agent whose store is the settings file; the rule looked up names the current layout,
// so changeInputToAppID does the whole lookup and stops before selecting.
struct FileBackedAgent {
    explicit FileBackedAgent(const fs::path& file) : store(file.string()), desktop(&store) {
        InputSource abc;
        abc.inputSourceID = kABC;
        desktop.world().inputs.push_back(abc);
        desktop.world().currentInputID = kABC;
        store.setObjectForKey(manyRules(), "velmora");
        store.synchronize();
        desktop.launch();
    }
    PlistFileDefaults store;
    sim::SimDesktop desktop;
};

void touchLater(const fs::path& file, int step) {
    // Another program rewrites the file: new contents and a new time stamp.
    struct timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec += step;
    times[1] = times[0];
    utimensat(AT_FDCWD, file.c_str(), times, 0);
}

void BM_ChangeInputToAppID_FileUnchanged(benchmark::State& state) {
    TempDir dir;
    FileBackedAgent agent(dir.path / "settings.plist");
    const std::optional<std::string> app = "com.example.app777";
    for (auto _ : state)
        agent.desktop.agent()->dispatcher().changeInputToAppID(app);
}
BENCHMARK(BM_ChangeInputToAppID_FileUnchanged)->Unit(benchmark::kMicrosecond);

void BM_ChangeInputToAppID_FileRewritten(benchmark::State& state) {
    TempDir dir;
    fs::path file = dir.path / "settings.plist";
    FileBackedAgent agent(file);
    PlistFileDefaults otherProgram(file.string());
    const std::optional<std::string> app = "com.example.app777";
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        otherProgram.setObjectForKey(PlistValue(++step), "benchStep");
        otherProgram.synchronize();
        touchLater(file, step);
        state.ResumeTiming();
        agent.desktop.agent()->dispatcher().changeInputToAppID(app);
    }
}
BENCHMARK(BM_ChangeInputToAppID_FileRewritten)->Unit(benchmark::kMicrosecond);

// Activation notification to selection, on the simulated desktop with the store in memory.
void BM_ActivationThroughDispatcher(benchmark::State& state) {
    sim::SimDesktop desktop;
    for (const char* id : {kABC, "com.apple.keylayout.German"}) {
        InputSource source;
        source.inputSourceID = id;
        desktop.world().inputs.push_back(source);
    }
    desktop.rawStore().setObjectForKey(manyRules(), "velmora");
    desktop.launch();
    desktop.activate(std::string("com.example.app1"));
    std::int64_t t = 1000;
    desktop.advanceTo(t);
    int i = 0;
    for (auto _ : state) {
        // Alternate between an application with German and one with ABC.
        desktop.activate("com.example.app" + std::to_string(i++ % 2));
        t += 100;
        desktop.advanceTo(t);
        if (i % 4096 == 0)
            desktop.trace().clear(); // the trace is kept for tests; do not let it pile up
    }
}
BENCHMARK(BM_ActivationThroughDispatcher)->Unit(benchmark::kMicrosecond);

} // namespace
