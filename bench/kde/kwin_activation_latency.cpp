// SPDX-License-Identifier: MIT
// Activation command to layout change on KWin: activates the windows of two applications in
// turn, each through a one-shot KWin script, and times, with CLOCK_MONOTONIC, from asking KWin
// to run that script to KWin's layoutChanged signal with the expected layout. MODE "direct":
// this tool hears the activation as the agent does (the agent's own KWin script, calling this
// process) and calls setLayout itself at once (what the agent's work costs at least); MODE
// "agent": the agent, with rules for both, does it.
// Usage: velmora_bench_kde_activation MODE COUNT APP:LAYOUT-INDEX APP:LAYOUT-INDEX FOLDER
// (FOLDER: where the scripts are written). Prints each time in ms, one a line.

#include "kde/kwin_activation_script.h"
#include "kde/kwin_scripting.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QEventLoop>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

using namespace velmora::kde;
using Clock = std::chrono::steady_clock;

namespace {

struct Target {
    QString app;
    uint index = 0;
};

Target target(const char* text) {
    const QStringList parts = QString(text).split(':');
    return {parts.value(0), parts.value(1).toUInt()};
}

// Layout changes as KWin announces them.
class LayoutWatch : public QObject {
    Q_OBJECT
  public:
    explicit LayoutWatch(QDBusConnection bus) {
        bus.connect("org.kde.keyboard", "/Layouts", "org.kde.KeyboardLayouts", "layoutChanged",
                    this, SLOT(onChanged(uint)));
    }
  Q_SIGNALS:
    void changed(uint index);
  private Q_SLOTS:
    void onChanged(uint index) { Q_EMIT changed(index); }
};

QDBusMessage setLayout(uint index) {
    QDBusMessage call = QDBusMessage::createMethodCall("org.kde.keyboard", "/Layouts",
                                                       "org.kde.KeyboardLayouts", "setLayout");
    call << index;
    return call;
}

// Handles events until DONE says so or TIMEOUTMS pass, asleep in between; false on the time-out.
bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(timeoutMs);
    while (!done()) {
        if (!wake.isActive())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 6)
        return 2;
    const bool direct = std::string(argv[1]) == "direct";
    const int count = std::atoi(argv[2]);
    const Target targets[] = {target(argv[3]), target(argv[4])};
    const QString folder = QString::fromLocal8Bit(argv[5]);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || count < 1)
        return 1;

    std::optional<uint> goal;
    std::optional<Clock::time_point> reached;
    LayoutWatch watch(bus);
    QObject::connect(&watch, &LayoutWatch::changed, [&](uint index) {
        if (goal && index == *goal && !reached)
            reached = Clock::now();
    });
    // The direct path: the same script the agent runs, calling this process.
    bool heard = false;
    const auto selectDirectly = [&](const KWinWindow& window) {
        heard = true;
        for (const Target& t : targets)
            if (window.desktopFile == t.app.toStdString())
                bus.send(setLayout(t.index));
    };
    KWinActivations activations(
        bus, folder,
        KWinActivations::Handlers{
            .activated = selectDirectly, .moved = {}, .closed = {}, .gone = {}},
        [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });
    std::string error;
    if (direct && (!activations.start(&error) || !waitFor([&] { return heard; }, 5000))) {
        std::fprintf(stderr, "the script did not run: %s\n", error.c_str());
        return 1;
    }

    for (int i = 0; i < count; ++i) {
        const Target& want = targets[i % 2];
        const QString plugin = QStringLiteral("velmora-bench-activate-%1").arg(i);
        const QString file = folder + "/" + plugin + ".js";
        const QString script =
            QStringLiteral("var all = workspace.windowList ? workspace.windowList() : "
                           "workspace.clientList();\n"
                           "for (var i = 0; i < all.length; ++i)\n"
                           "    if (all[i].desktopFileName === '%1') {\n"
                           "        if (workspace.windowList) workspace.activeWindow = all[i];\n"
                           "        else workspace.activeClient = all[i];\n"
                           "    }\n")
                .arg(want.app);
        if (!writeKWinScript(folder, file, script, &error) ||
            bus.call(kwinLoadScriptCall(file, plugin), QDBus::Block, 2000).type() !=
                QDBusMessage::ReplyMessage) {
            std::fprintf(stderr, "KWin did not load the activation: %s\n", error.c_str());
            return 1;
        }
        goal = want.index;
        reached.reset();
        const auto start = Clock::now();
        bus.send(kwinStartScriptsCall());
        if (!waitFor([&] { return reached.has_value(); }, 5000)) {
            std::fprintf(stderr, "no layout %u after activating %s\n", want.index,
                         qPrintable(want.app));
            return 1;
        }
        std::printf("%.3f\n", std::chrono::duration<double, std::milli>(*reached - start).count());
        bus.call(kwinUnloadScriptCall(plugin), QDBus::Block, 2000);
        QFile::remove(file);
        // Past the agent's guard after a selection, as between a user's activations.
        waitFor([] { return false; }, 300);
    }
    return 0;
}

#include "kwin_activation_latency.moc"
