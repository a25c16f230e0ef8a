// SPDX-License-Identifier: MIT
#include "sim_services.h"

#include "engine/shell.h"
#include "sim_images.h"
#include "sim_platform.h"

#include <string_view>

namespace velmora::sim {

std::optional<InputSource> SimInputSources::currentSource() {
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

std::vector<InputSource> SimInputSources::sourcesMatching(const std::optional<std::string>& id,
                                                          bool includeAllInstalled) {
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

void SimInputSources::select(const InputSource& source) {
    if (!source.inputSourceID)
        return;
    desktop_.trace().emit("select " + *source.inputSourceID);
    desktop_.makeCurrent(*source.inputSourceID);
}

std::optional<RunningApplication> SimWorkspace::frontApplication() {
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

std::optional<std::string> SimWorkspace::applicationPath(const std::string& bundleIdentifier) {
    for (const auto& app : world_.apps)
        if (app.bundleIdentifier == bundleIdentifier && app.installed)
            return app.bundlePath();
    return std::nullopt;
}

ImagePtr SimWorkspace::iconForFile(const std::string& path) {
    if (path.empty())
        return nullptr;
    return std::make_shared<SimImage>(path, Size{32, 32});
}

std::string SimWorkspace::displayNameAtPath(const std::string& path) {
    if (const SimApp* app = world_.installedAppAt(path))
        return app->name;
    return Workspace::displayNameAtPath(path);
}

bool SimWorkspace::openURL(const std::string& url) {
    trace_.emit("open-url " + url);
    world_.openedURLs.push_back(url);
    return true;
}

void SimDesktopBroadcasts::addObserver(DesktopBroadcast broadcast, Callback callback) {
    world_.distributedObservers[nameOfBroadcast(broadcast)].push_back(
        [broadcast, callback = std::move(callback)](const std::string&) { callback(broadcast); });
}

void SimEventMonitor::addGlobalMonitor(std::uint64_t mask, Handler handler) {
    world_.eventMonitors.emplace_back(mask, std::move(handler));
}

std::string SimApplication::bundlePath() {
    return desktop_.world().bundlePath;
}

void SimApplication::log(const std::string& line) {
    desktop_.trace().emit("log " + line);
}

void SimApplication::activateWithOptions(std::uint64_t) {
    desktop_.trace().emit("activate-self");
    desktop_.programActivates();
}

std::optional<std::string> SimApplication::objectForInfoDictionaryKey(const std::string& key) {
    if (key == kShortVersionKey)
        return desktop_.world().bundleVersion;
    if (key == kVelmoraReviewURLKey)
        return std::string("macappstore://itunes.apple.com/WebObjects/MZUserPublishing.woa/"
                           "wa/addUserReview?id=1586435730&type=Productivity");
    return std::nullopt;
}

bool SimApplication::startedWithSession() {
    constexpr std::string_view kDevelopmentBuildPrefix =
        "/Users/ostrel/Library/Developer/Xcode/DerivedData/";
    constexpr std::string_view kUnderOneMinuteMarker = "secs,";
    if (bundlePath().starts_with(kDevelopmentBuildPrefix))
        return true;
    // Output that is not text reads as nothing, so as a start long after boot.
    return runShellCommandForOutput(desktop_.childProcess(), "uptime")
               .find(kUnderOneMinuteMarker) != std::string::npos;
}

void SimApplication::terminate() {
    desktop_.trace().emit("terminate");
    desktop_.world().terminated = true;
}

bool SimApplication::statusItemCanHide() {
    constexpr int major = 10;
    constexpr int minor = 12;
    const auto& version = desktop_.world().systemVersion;
    return version.major != major ? version.major > major : version.minor >= minor;
}

std::optional<ApplicationDescription>
SimPropertyListFiles::describeApplication(const std::string& path) {
    auto info = dictionaryWithContentsOfFile(path + "/Contents/Info.plist");
    if (!info)
        return std::nullopt;
    auto identifier = info->find("CFBundleIdentifier");
    if (identifier == info->end() || !identifier->second.string() ||
        identifier->second.string()->empty())
        return std::nullopt;
    auto name = info->find("CFBundleName");
    return ApplicationDescription{
        *identifier->second.string(),
        name != info->end() && name->second.string() ? *name->second.string() : std::string()};
}

std::optional<PlistDictionary>
SimPropertyListFiles::dictionaryWithContentsOfFile(const std::string& path) {
    if (auto it = world_.files.find(path); it != world_.files.end()) {
        if (const PlistDictionary* dictionary = it->second.dictionary())
            return *dictionary;
        return std::nullopt;
    }
    constexpr std::string_view kInfo = "/Contents/Info.plist";
    if (!path.ends_with(kInfo))
        return std::nullopt;
    const SimApp* app = world_.installedAppAt(path.substr(0, path.size() - kInfo.size()));
    if (!app || !app->bundleIdentifier)
        return std::nullopt;
    return PlistDictionary{{"CFBundleIdentifier", PlistValue(*app->bundleIdentifier)},
                           {"CFBundleName", PlistValue(app->name)}};
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

std::optional<Screen> SimScreens::mainScreen() {
    return screen(world_.mainScreenNumber);
}

std::optional<Screen> SimScreens::deepestScreen() {
    return screen(world_.deepestScreenNumber);
}

std::optional<Screen> SimScreens::originScreen() {
    return screen(world_.originScreenNumber);
}

std::string
SimChildProcess::launchAndReadStandardOutput(const std::string& launchPath,
                                             const std::vector<std::string>& arguments) {
    std::string command = arguments.size() == 2 && arguments[0] == "-c" ? arguments[1] : launchPath;
    trace_.emit("shell " + command);
    if (command == "uptime")
        return world_.uptimeOutput.value_or("");
    return {};
}

} // namespace velmora::sim
