// SPDX-License-Identifier: MIT
#include "kde_workspace.h"

#include <algorithm>

namespace velmora::kde {

KdeWorkspace::KdeWorkspace(KdeApplicationLookup lookup) : lookup_(std::move(lookup)) {}

void KdeWorkspace::windowActivated(const KWinWindow& window) {
    Window known{.key = {}, .application = lookup_.identify(window)};
    known.key = known.application.bundleIdentifier ? "app:" + *known.application.bundleIdentifier
                                                   : "pid:" + std::to_string(window.pid);
    const bool launched =
        std::find(appOrder_.begin(), appOrder_.end(), known.key) == appOrder_.end();
    if (launched)
        appOrder_.push_back(known.key);
    if (windows_.size() < kMaxWindows || windows_.contains(window.id))
        windows_[window.id] = known;
    if (launched && known.application.activationPolicy == ActivationPolicy::Regular)
        post(kApplicationLaunchedNotification, known.application);
    frontWindow_ = window;
    const bool otherApplication = activeKey_ != known.key;
    activeKey_ = known.key;
    {
        std::lock_guard lock(frontMutex_);
        front_ = known.application;
    }
    if (otherApplication)
        post(kApplicationActivatedNotification, known.application);
}

void KdeWorkspace::windowClosed(const std::string& id) {
    const auto closed = windows_.find(id);
    if (closed == windows_.end())
        return;
    const std::string key = closed->second.key;
    windows_.erase(closed);
    if (std::none_of(windows_.begin(), windows_.end(),
                     [&](const auto& window) { return window.second.key == key; }))
        std::erase(appOrder_, key);
}

std::optional<RunningApplication> KdeWorkspace::frontApplication() {
    std::lock_guard lock(frontMutex_);
    return front_;
}

std::vector<RunningApplication> KdeWorkspace::runningApplications() {
    std::vector<RunningApplication> result;
    for (const std::string& key : appOrder_)
        for (const auto& [id, window] : windows_)
            if (window.key == key) {
                result.push_back(window.application);
                break;
            }
    return result;
}

void KdeWorkspace::addObserver(const std::string& name, Observer observer) {
    observers_[name].push_back(std::move(observer));
}

void KdeWorkspace::post(const char* name, const RunningApplication& application) {
    auto it = observers_.find(name);
    if (it == observers_.end())
        return;
    const WorkspaceNotification notification{name, application};
    auto observers = it->second; // an observer may subscribe more
    for (auto& observer : observers)
        observer(notification);
}

std::optional<std::string> KdeWorkspace::applicationPath(const std::string& bundleIdentifier) {
    return lookup_.applicationPath ? lookup_.applicationPath(bundleIdentifier) : std::nullopt;
}

ImagePtr KdeWorkspace::iconForFile(const std::string& path) {
    return lookup_.iconForFile ? lookup_.iconForFile(path) : nullptr;
}

std::string KdeWorkspace::displayNameAtPath(const std::string& path) {
    if (lookup_.displayNameAtPath)
        if (auto name = lookup_.displayNameAtPath(path))
            return *name;
    return Workspace::displayNameAtPath(path);
}

} // namespace velmora::kde
