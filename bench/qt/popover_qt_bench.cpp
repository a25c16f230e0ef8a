// SPDX-License-Identifier: MIT
// What showing the popover costs with the real widgets (Qt's offscreen platform): the first
// showing builds every widget of the popover and its rows; later showings rebuild the lists and
// reload the tables. 100 applications, 10 keyboard layouts with the program's layout badges,
// the rest of the desktop simulated. With --screenshot PATH, the popover as shown is saved as
// an image (the picture in the README).

#include "app/app_delegate.h"
#include "qt/qt_images.h"
#include "qt/qt_popover.h"
#include "qt/qt_views.h"
#include "sim/memory_defaults.h"
#include "sim/sim_platform.h"

#include <QApplication>
#include <QPixmap>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;

constexpr int kApplications = 100;
constexpr int kShowings = 30;
const char* const kLayouts[] = {"us", "de", "ru", "fr", "es", "it", "pl", "ua", "gr", "se"};

class NoResetWindow final : public Window {
  public:
    void makeKeyAndOrderFront() override {}
    void orderOut() override {}
};

class BenchViews final : public qt::QtViews {
  public:
    BenchViews() : QtViews([](const std::string&) {}) {}
    std::shared_ptr<Window> makeResetWindow() override { return std::make_shared<NoResetWindow>(); }
};

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string screenshot;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--screenshot")
            screenshot = argv[i + 1];
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's complaints (no masks, no raise) are not the figures.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication application(argc, argv);

    sim::SimPlatform sim;
    for (const char* layout : kLayouts) {
        InputSource source;
        source.inputSourceID = std::string("xkb:") + layout;
        source.localizedName = std::string("Layout ") + layout;
        source.iconRef = std::string(kLayoutBadgeIconRefPrefix) + layout;
        sim.world().inputs.push_back(source);
    }
    PlistDictionary rules;
    for (int i = 0; i < kApplications; ++i) {
        sim::SimApp app;
        app.bundleIdentifier = "org.example.App" + std::to_string(i);
        app.name = "Application " + std::to_string(i);
        app.owner = app.name;
        sim.world().apps.push_back(app);
        if (i % 2 == 0)
            rules[*app.bundleIdentifier] = PlistDictionary{
                {"id", PlistValue(std::string("xkb:") + kLayouts[i % std::size(kLayouts)])}};
    }
    // Started with the session: the popover stays closed until it is asked for.
    sim.world().uptimeOutput = "10:00  up 12 secs, 1 user, load averages: 0.1 0.1 0.1";
    sim::MemoryDefaults defaults;
    defaults.setObjectForKey(rules, "velmora");
    sim.startProgram();

    BenchViews views;
    qt::QtImages images;
    Platform simulated = sim.platformWith(defaults);
    Platform platform{simulated.defaults,
                      simulated.inputSources,
                      simulated.workspace,
                      simulated.distributedNotifications,
                      simulated.eventMonitor,
                      simulated.windowList,
                      simulated.screens,
                      simulated.cursor,
                      simulated.runLoop,
                      simulated.childProcess,
                      images,
                      simulated.application,
                      views,
                      simulated.applicationDescriptions};
    AppDelegate delegate(platform);
    delegate.applicationDidFinishLaunching();
    const long before = residentKilobytes();

    auto start = Clock::now();
    delegate.showPopover();
    QApplication::processEvents();
    const double first = millisecondsSince(start);
    const long after = residentKilobytes();

    std::vector<double> later;
    for (int i = 0; i < kShowings; ++i) {
        if (auto popover = views.popover())
            popover->performClose();
        QApplication::processEvents();
        start = Clock::now();
        delegate.showPopover();
        QApplication::processEvents();
        later.push_back(millisecondsSince(start));
    }
    std::sort(later.begin(), later.end());
    std::printf("first showing: %.1f ms\n", first);
    std::printf("later showings: median %.1f ms, max %.1f ms over %d\n", later[later.size() / 2],
                later.back(), kShowings);
    std::printf("resident memory: %.1f MB before the first showing, %.1f MB after\n",
                before / 1024.0, after / 1024.0);

    auto popover = views.popover();
    if (!screenshot.empty() && popover && popover->window()) {
        if (!popover->window()->grab().save(QString::fromStdString(screenshot))) {
            std::fprintf(stderr, "velmora: could not save %s\n", screenshot.c_str());
            return 1;
        }
    }
    return popover && popover->isShown() ? 0 : 1;
}
