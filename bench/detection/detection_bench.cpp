// SPDX-License-Identifier: MIT
// What a poll step costs: the Spotlight panel test copies and walks the on-screen window list
// (five times a second while a panel is open), and every indicator refresh runs the template
// test over the icon's pixels.

#include "app/app_delegate.h"
#include "detection/launcher_panels.h"
#include "indicator/template_test.h"
#include "platform/window_list.h"
#include "sim_desktop.h"

#include <benchmark/benchmark.h>

#include <string>

namespace velmora {
namespace {

constexpr int kWindows = 200;

// 200 ordinary windows of a dozen applications, none of them a panel: the walk goes to the end.
PlistArray busyWindowList() {
    PlistArray windows;
    for (int i = 0; i < kWindows; ++i) {
        PlistDictionary bounds{{"X", i}, {"Y", 2 * i}, {"Width", 800}, {"Height", 600}};
        windows.push_back(PlistValue(PlistDictionary{
            {kWindowOwnerNameKey, "Application " + std::to_string(i % 12)},
            {kWindowNameKey, "Document " + std::to_string(i)},
            {kWindowLayerKey, 0},
            {kWindowIsOnscreenKey, true},
            {kWindowBoundsKey, PlistValue(bounds)},
        }));
    }
    return windows;
}

// The whole step as the poll runs it: a fresh snapshot from the window list service, walked.
void BM_SpotlightPanelTest200Windows(benchmark::State& state) {
    sim::SimDesktop desktop;
    desktop.world().windows = busyWindowList();
    desktop.launch();
    LauncherDetection& launchers = desktop.agent()->launchers();
    for (auto _ : state)
        benchmark::DoNotOptimize(launchers.spotlightWindowOpened());
}
BENCHMARK(BM_SpotlightPanelTest200Windows);

// The walk alone, on a snapshot already taken.
void BM_SpotlightPanelWalk200Windows(benchmark::State& state) {
    const PlistArray windows = busyWindowList();
    for (auto _ : state) {
        bool found = false;
        for (const PlistValue& entry : windows)
            if (isSpotlightPanel(entry)) {
                found = true;
                break;
            }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_SpotlightPanelWalk200Windows);

// The two-channel test on a 64 x 64 black glyph: every pixel is scanned.
void BM_TwoChannelTemplateTest64x64(benchmark::State& state) {
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < 64 * 64; ++i)
        pixels.insert(pixels.end(), {0, 0, 0, static_cast<std::uint8_t>(i % 2 ? 255 : 0)});
    for (auto _ : state)
        benchmark::DoNotOptimize(templateTest(pixels, 64, 64, 2));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(pixels.size()));
}
BENCHMARK(BM_TwoChannelTemplateTest64x64);

// The same through the image service, as the indicator calls it (pixel bytes copied out).
void BM_TwoChannelCanTemplate64x64Image(benchmark::State& state) {
    sim::SimImages images;
    sim::SimIcon icon{64, 64, {}};
    for (int i = 0; i < 64 * 64; ++i)
        icon.pixels.insert(icon.pixels.end(), {0, 0, 0, 255});
    images.icons["glyph"] = icon;
    ImagePtr image = images.imageWithIconRef("glyph");
    for (auto _ : state)
        benchmark::DoNotOptimize(canTemplate(images, image.get(), 2));
}
BENCHMARK(BM_TwoChannelCanTemplate64x64Image);

} // namespace
} // namespace velmora
