// SPDX-License-Identifier: MIT
// The cost of a rule lookup when the rules live in the settings file: the agent does one at
// every application switch.

#include "engine/settings.h"
#include "store/plist_file_defaults.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace velmora {
namespace {

constexpr int kRuleCount = 1000;
const std::string kLookedUp = "org.example.app0500";

class BenchFolder {
  public:
    BenchFolder() {
        std::string pattern = "/tmp/velmora-bench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string settingsFile() const { return path_ + "/settings.plist"; }

  private:
    std::string path_;
};

PlistValue rules(int generation) {
    PlistDictionary all;
    for (int i = 0; i < kRuleCount; ++i) {
        char bundle[32];
        std::snprintf(bundle, sizeof bundle, "org.example.app%04d", i);
        all.emplace(bundle, PlistDictionary{
                                {record::kId, "org.example.keylayout.Layout" +
                                                  std::to_string((i + generation) % 7)},
                                {record::kEnglishSymbol, i % 2 == 0},
                            });
    }
    return all;
}

void writeRules(const std::string& path, int generation) {
    PlistFileDefaults writer(path);
    writer.setObjectForKey(rules(generation), keys::kRules);
    writer.synchronize();
}

void BM_RuleLookupFileUnchanged(benchmark::State& state) {
    BenchFolder folder;
    writeRules(folder.settingsFile(), 0);
    PlistFileDefaults store(folder.settingsFile());
    Settings settings(store);
    if (settings.ruleInputSourceID(kLookedUp) !=
        "org.example.keylayout.Layout" + std::to_string(500 % 7))
        state.SkipWithError("the rule is missing");
    for (auto _ : state)
        benchmark::DoNotOptimize(settings.ruleInputSourceID(kLookedUp));
}
BENCHMARK(BM_RuleLookupFileUnchanged)->Unit(benchmark::kMicrosecond);

void BM_RuleLookupAfterRewriteByAnotherWriter(benchmark::State& state) {
    BenchFolder folder;
    writeRules(folder.settingsFile(), 0);
    PlistFileDefaults store(folder.settingsFile());
    PlistFileDefaults otherWriter(folder.settingsFile());
    Settings settings(store);
    int generation = 0;
    for (auto _ : state) {
        state.PauseTiming();
        otherWriter.setObjectForKey(rules(++generation), keys::kRules);
        otherWriter.synchronize();
        state.ResumeTiming();
        auto id = settings.ruleInputSourceID(kLookedUp);
        if (id != "org.example.keylayout.Layout" + std::to_string((500 + generation) % 7))
            state.SkipWithError("the lookup missed the rewrite");
        benchmark::DoNotOptimize(id);
    }
}
BENCHMARK(BM_RuleLookupAfterRewriteByAnotherWriter)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace velmora
