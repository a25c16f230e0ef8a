// SPDX-License-Identifier: MIT
// One showing of the popover on the simulated desktop, with 100 applications (half of them
// with a rule, the stored order naming every other one) and 10 keyboard layouts: the status
// item is clicked, the program activates itself, the application list and the catalogue are
// rebuilt and both tables reload. The second figure adds building every cell of the rule
// table, as a table tall enough to show all rows would.

#include "sim_desktop.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace velmora;

constexpr int kApplications = 100;
constexpr int kLayouts = 10;

struct ShownAgent {
    ShownAgent() {
        for (int i = 0; i < kLayouts; ++i) {
            InputSource source;
            source.inputSourceID = "com.apple.keylayout.Layout" + std::to_string(i);
            source.localizedName = "Layout " + std::to_string(i);
            source.iconRef = "flag";
            desktop.world().inputs.push_back(source);
        }
        desktop.images().icons["flag"] = sim::SimIcon{16, 16, std::vector<std::uint8_t>(1024, 0)};
        PlistDictionary rules;
        PlistArray order;
        for (int i = 0; i < kApplications; ++i) {
            sim::SimApp app;
            app.bundleIdentifier = "com.example.app" + std::to_string(i);
            app.name = "App " + std::to_string(i);
            app.owner = app.name;
            desktop.world().apps.push_back(app);
            if (i % 2 == 0)
                rules[*app.bundleIdentifier] =
                    PlistDictionary{{"id", PlistValue("com.apple.keylayout.Layout" +
                                                      std::to_string(i % kLayouts))}};
            else
                order.emplace(order.begin(), *app.bundleIdentifier);
        }
        desktop.rawStore().setObjectForKey(PlistValue(rules), "velmora");
        desktop.rawStore().setObjectForKey(PlistValue(order), "orderOfAppsRule");
        desktop.launch(); // shows the popover once
        desktop.views().popover()->dismiss();
    }
    sim::SimDesktop desktop;
};

void showOnce(ShownAgent& agent, benchmark::State& state, bool buildCells) {
    auto& views = agent.desktop.views();
    views.statusItem()->click();
    if (buildCells) {
        sim::SimTableView* table = agent.desktop.ruleTable();
        const std::int64_t rows = table->numberOfRows();
        for (std::int64_t row = 0; row < rows; ++row)
            for (const auto& column : table->columnIdentifiers())
                benchmark::DoNotOptimize(table->viewAtColumnRow(column, row));
    }
    state.PauseTiming();
    views.popover()->dismiss();
    agent.desktop.trace().clear();
    state.ResumeTiming();
}

void BM_ShowPopover(benchmark::State& state) {
    ShownAgent agent;
    for (auto _ : state)
        showOnce(agent, state, false);
}
BENCHMARK(BM_ShowPopover)->Unit(benchmark::kMicrosecond);

void BM_ShowPopoverAndBuildEveryRuleCell(benchmark::State& state) {
    ShownAgent agent;
    for (auto _ : state)
        showOnce(agent, state, true);
}
BENCHMARK(BM_ShowPopoverAndBuildEveryRuleCell)->Unit(benchmark::kMicrosecond);

} // namespace
