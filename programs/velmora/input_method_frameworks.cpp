// SPDX-License-Identifier: MIT
#include "input_method_frameworks.h"

#include "fcitx5/fcitx5_input_sources.h"

#include <QCoreApplication>

namespace velmora::program {

std::vector<InputMethodFramework*> InputMethodFrameworks::inOrder() const {
    std::vector<InputMethodFramework*> frameworks;
    for (const auto& framework : owned)
        frameworks.push_back(framework.get());
    return frameworks;
}

InputMethodFrameworks makeInputMethodFrameworks(std::function<void(DesktopBroadcast)> post,
                                                std::function<void(const std::string&)> log) {
    InputMethodFrameworks frameworks;
    frameworks.owned.push_back(
        std::make_unique<fcitx5::Fcitx5InputSources>(QDBusConnection::sessionBus(), post, log));
    return frameworks;
}

std::optional<std::vector<InputSource>> runningFrameworkSources(bool all) {
    // Qt D-Bus needs an application object, which the command line has none of; it is kept
    // until the process ends, with the connection it holds.
    static int argc = 1;
    static char name[] = "velmora";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    using std::chrono_literals::operator""ms;
    return fcitx5::Fcitx5InputSources::sourcesNow(bus, 500ms, all);
}

} // namespace velmora::program
