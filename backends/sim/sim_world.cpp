// SPDX-License-Identifier: MIT
#include "sim_world.h"

#include "platform/window_list.h"

namespace velmora::sim {

const char* const kSimBundleVersion = VELMORA_PROJECT_VERSION;

RunningApplication SimApp::asRunning() const {
    RunningApplication app;
    app.bundleIdentifier = bundleIdentifier;
    app.localizedName = name;
    app.bundlePath = bundlePath();
    app.activationPolicy = policy;
    return app;
}

std::optional<std::string> SimApp::bundlePath() const {
    if (!installed)
        return std::nullopt;
    return "/Applications/" + name + ".app";
}

const SimApp* SimWorld::installedAppAt(const std::string& path) const {
    for (const auto& app : apps)
        if (app.bundlePath() == path)
            return &app;
    return nullptr;
}

std::optional<std::size_t> SimWorld::appIndex(const std::string& bundleIdentifier) const {
    for (std::size_t i = 0; i < apps.size(); ++i)
        if (apps[i].bundleIdentifier == bundleIdentifier)
            return i;
    return std::nullopt;
}

const InputSource* SimWorld::input(const std::string& id) const {
    for (const auto& source : inputs)
        if (source.inputSourceID == id)
            return &source;
    return nullptr;
}

std::optional<std::size_t> SimWorld::windowIndex(const std::string& handle) const {
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const PlistValue* h = windows[i].find(kSimWindowHandleKey);
        if (h && h->string() && *h->string() == handle)
            return i;
    }
    return std::nullopt;
}

void SimWorld::putWindowInFront(const std::string& handle, PlistDictionary entry) {
    removeWindow(handle);
    entry[kSimWindowHandleKey] = PlistValue(handle);
    windows.insert(windows.begin(), PlistValue(std::move(entry)));
}

bool SimWorld::removeWindow(const std::string& handle) {
    auto index = windowIndex(handle);
    if (!index)
        return false;
    windows.erase(windows.begin() + static_cast<std::ptrdiff_t>(*index));
    return true;
}

bool SimWorld::bringWindowToFront(const std::string& handle) {
    auto index = windowIndex(handle);
    if (!index)
        return false;
    PlistValue entry = std::move(windows[*index]);
    windows.erase(windows.begin() + static_cast<std::ptrdiff_t>(*index));
    windows.insert(windows.begin(), std::move(entry));
    return true;
}

bool SimWorld::moveWindow(const std::string& handle, const PlistDictionary& bounds) {
    auto index = windowIndex(handle);
    if (!index)
        return false;
    (*windows[*index].dictionary())[kWindowBoundsKey] = PlistValue(bounds);
    return true;
}

} // namespace velmora::sim

namespace velmora::sim {

void setLoginItems(SimWorld& world, const std::vector<std::string>& paths) {
    world.loginItems.clear();
    for (const auto& path : paths)
        world.loginItems.push_back(SimLoginEntry{world.nextLoginItemSerial++, path});
}

} // namespace velmora::sim
