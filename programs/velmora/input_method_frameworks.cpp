// SPDX-License-Identifier: MIT
#include "input_method_frameworks.h"

#include "command_line_bus.h"
#include "console_log.h"
#include "fcitx5/fcitx5_input_sources.h"
#include "ibus/ibus_input_sources.h"

#include <QEventLoop>
#include <QTimer>

namespace velmora::program {

namespace {

// IBus's engines while it runs, each call given IBus's time-out; none without IBus.
std::optional<std::vector<InputSource>> ibusSources(bool all) {
    ibus::IBusInputSources ibus([](DesktopBroadcast) {}, logToConsole);
    if (!ibus.settled()) {
        QEventLoop loop;
        QObject::connect(&ibus, &ibus::IBusInputSources::settledNow, &loop, &QEventLoop::quit);
        QTimer::singleShot(2 * ibus::IBusInputSources::kCallTimeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!ibus.running())
        return std::nullopt;
    return ibus.sourcesMatching(std::nullopt, all);
}

} // namespace

std::vector<InputMethodFramework*> InputMethodFrameworks::inOrder() const {
    std::vector<InputMethodFramework*> frameworks;
    for (const auto& framework : owned)
        frameworks.push_back(framework.get());
    return frameworks;
}

InputMethodFrameworks makeInputMethodFrameworks(std::function<void(DesktopBroadcast)> post,
                                                std::function<void(const std::string&)> log,
                                                bool ibus) {
    InputMethodFrameworks frameworks;
    frameworks.owned.push_back(
        std::make_unique<fcitx5::Fcitx5InputSources>(QDBusConnection::sessionBus(), post, log));
    if (ibus)
        frameworks.owned.push_back(std::make_unique<ibus::IBusInputSources>(post, log));
    return frameworks;
}

std::optional<std::vector<InputSource>> runningFrameworkSources(bool all, bool ibus) {
    CommandLineBus session(QStringLiteral("velmora-command-line"));
    std::optional<std::vector<InputSource>> sources;
    using std::chrono_literals::operator""ms;
    if (session.bus().isConnected())
        sources = fcitx5::Fcitx5InputSources::sourcesNow(session.bus(), 500ms, all);
    if (!sources && ibus)
        sources = ibusSources(all);
    return sources;
}

} // namespace velmora::program
