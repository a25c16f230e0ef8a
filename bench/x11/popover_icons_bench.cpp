// SPDX-License-Identifier: MIT
// What showing the popover costs on a real X display with the icons of real applications:
// the agent's workspace, installed applications and window icons over the display's windows
// (desktop files whose icons are SVG files of the icon theme, windows that set _NET_WM_ICON),
// the Qt views and images, the rest of the desktop simulated. The first showing builds every
// widget and reads every icon; later showings rebuild the lists and reload the tables. Run
// through popover-bench.sh, which makes the windows and the desktop files. With --icons-only it
// times reading the icons of the running applications alone (the part of a first showing that
// is the icons') and shows nothing.

#include "app/app_delegate.h"
#include "editor/rule_table.h"
#include "qt/qt_images.h"
#include "qt/qt_popover.h"
#include "qt/qt_views.h"
#include "sim/memory_defaults.h"
#include "sim/sim_platform.h"
#include "x11/application_identities.h"
#include "x11/installed_applications.h"
#include "x11/window_icons.h"
#include "x11/x11_connection.h"
#include "x11/x11_workspace.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;

constexpr int kShowings = 30;

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

void logLine(const std::string& line) {
    std::fprintf(stderr, "velmora: %s\n", line.c_str());
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The main thread's processor time: on a busy machine it tells the program's own cost apart
// from the time it waited for a core (or for the X server, which waits as well).
double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    std::string error;
    auto connection = x11::X11Connection::open("", &error);
    if (!connection) {
        std::fprintf(stderr, "velmora_bench_popover_icons: %s\n", error.c_str());
        return 2;
    }
    QApplication application(argc, argv);
    qt::QtImages images(logLine);
    x11::ApplicationIdentities identities(*connection);
    x11::InstalledApplications installed(images);
    x11::WindowIcons windowIcons(*connection, images,
                                 static_cast<std::uint32_t>(RuleTable::kIconFrame.size.width));
    x11::X11Workspace workspace(*connection, identities, logLine, &installed, &windowIcons);

    sim::SimPlatform sim;
    for (const char* layout : {"us", "de", "ru"}) {
        InputSource source;
        source.inputSourceID = std::string("xkb:") + layout;
        source.localizedName = std::string("Layout ") + layout;
        source.iconRef = std::string(kLayoutBadgeIconRefPrefix) + layout;
        sim.world().inputs.push_back(source);
    }
    // Started with the session: the popover stays closed until it is asked for.
    sim.world().uptimeOutput = "10:00  up 12 secs, 1 user, load averages: 0.1 0.1 0.1";
    sim::MemoryDefaults defaults;
    sim.startProgram();
    BenchViews views;
    Platform simulated = sim.platformWith(defaults);
    Platform platform{simulated.defaults,
                      simulated.inputSources,
                      workspace,
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
    auto readIcons = [&workspace] {
        int withIcon = 0;
        for (const RunningApplication& app : workspace.runningApplications())
            if (app.bundleIdentifier)
                if (auto path = workspace.applicationPath(*app.bundleIdentifier))
                    withIcon += workspace.iconForFile(*path) != nullptr;
        return withIcon;
    };
    if (argc > 1 && std::string(argv[1]) == "--icons-only") {
        const double cpuBefore = threadMilliseconds();
        const auto start = Clock::now();
        const int withIcon = readIcons();
        std::printf("reading the icons of %d applications: %.1f ms (processor %.1f ms)\n", withIcon,
                    millisecondsSince(start), threadMilliseconds() - cpuBefore);
        return 0;
    }
    AppDelegate delegate(platform);
    delegate.applicationDidFinishLaunching();

    const double cpuBefore = threadMilliseconds();
    auto start = Clock::now();
    delegate.showPopover();
    QApplication::processEvents();
    const double first = millisecondsSince(start);
    const double firstCpu = threadMilliseconds() - cpuBefore;

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
    std::printf("applications with an icon: %d of %zu\n", readIcons(),
                workspace.runningApplications().size());
    std::printf("first showing: %.1f ms (processor %.1f ms)\n", first, firstCpu);
    std::printf("later showings: median %.1f ms, max %.1f ms over %d\n", later[later.size() / 2],
                later.back(), kShowings);
    auto popover = views.popover();
    return popover && popover->isShown() ? 0 : 1;
}
