#include "sim_services.h"

#include "sim_indicator_views.h"
#include "sim_platform.h"

namespace velmora::sim {

std::optional<InputSource> SimInputSources::copyCurrentKeyboardInputSource() {
    auto& world = desktop_.world();
    if (!world.currentInputID)
        return std::nullopt;
    if (const InputSource* source = world.input(*world.currentInputID))
        return *source;
    InputSource unknown; // made current by the scenario without being declared
    unknown.inputSourceID = world.currentInputID;
    unknown.localizedName = *world.currentInputID;
    return unknown;
}

std::vector<InputSource> SimInputSources::createInputSourceList(
    const std::optional<std::string>& id, bool includeAllInstalled) {
    std::vector<InputSource> result;
    for (const auto& source : desktop_.world().inputs) {
        if (!includeAllInstalled && !source.isEnabled)
            continue;
        if (id && source.inputSourceID != *id)
            continue;
        result.push_back(source);
    }
    return result;
}

void SimInputSources::selectInputSource(const InputSource& source) {
    if (!source.inputSourceID)
        return;
    desktop_.trace().emit("select " + *source.inputSourceID);
    desktop_.makeCurrent(*source.inputSourceID);
}

std::optional<RunningApplication> SimWorkspace::frontmostApplication() {
    if (!world_.frontmost)
        return std::nullopt;
    return world_.apps[*world_.frontmost].asRunning();
}

std::vector<RunningApplication> SimWorkspace::runningApplications() {
    std::vector<RunningApplication> result;
    for (const auto& app : world_.apps)
        if (app.running)
            result.push_back(app.asRunning());
    return result;
}

void SimWorkspace::addObserver(const std::string& name, Observer observer) {
    world_.workspaceObservers[name].push_back(std::move(observer));
}

void SimDistributedCenter::addObserver(const std::string& name, Callback callback) {
    world_.distributedObservers[name].push_back(std::move(callback));
}

void SimEventMonitor::addGlobalMonitorForEventsMatchingMask(std::uint64_t mask, Handler handler) {
    world_.eventMonitors.emplace_back(mask, std::move(handler));
}

std::optional<Screen> SimScreens::screen(const std::optional<std::int32_t>& number) const {
    if (!number)
        return std::nullopt;
    for (const auto& s : world_.screens) {
        if (s.number == *number) {
            Screen result;
            result.number = s.number;
            result.frame = Rect{{0, 0}, {s.width, s.height}};
            return result;
        }
    }
    return std::nullopt;
}

std::optional<Screen> SimScreens::mainScreen() { return screen(world_.mainScreenNumber); }

std::optional<Screen> SimScreens::deepestScreen() { return screen(world_.deepestScreenNumber); }

std::string SimChildProcess::launchAndReadStandardOutput(const std::string& launchPath,
                                                         const std::vector<std::string>& arguments) {
    std::string command = arguments.size() == 2 && arguments[0] == "-c" ? arguments[1] : launchPath;
    trace_.emit("shell " + command);
    if (command == "uptime")
        return world_.uptimeOutput.value_or("");
    return {};
}

void SimResetWindow::orderOut() {
    if (front_)
        trace_.emit("reset");
    front_ = false;
}

std::shared_ptr<Window> SimViews::makeResetWindow() {
    return std::make_shared<SimResetWindow>(trace_);
}

} // namespace velmora::sim

namespace velmora::sim {

IndicatorViews SimViews::makeIndicatorViews() {
    return IndicatorViews{std::make_shared<SimIndicatorWindow>(trace_),
                          std::make_shared<SimImageView>(trace_), std::make_shared<SimBox>(trace_)};
}

} // namespace velmora::sim
