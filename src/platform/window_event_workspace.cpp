// SPDX-License-Identifier: MIT
#include "platform/window_event_workspace.h"

namespace velmora {

ApplicationWindow::ApplicationWindow(RunningApplication running, std::int64_t pid)
    : key(running.bundleIdentifier ? "app:" + *running.bundleIdentifier
                                   : "pid:" + std::to_string(pid)),
      application(std::move(running)) {}

void WindowEventWorkspace::launched(const ApplicationWindow& window) {
    if (window.application.activationPolicy == ActivationPolicy::Regular)
        post(kApplicationLaunchedNotification, window.application);
}

void WindowEventWorkspace::activated(const ApplicationWindow& window) {
    const bool otherApplication = activeKey_ != window.key;
    activeKey_ = window.key;
    {
        std::lock_guard lock(frontMutex_);
        front_ = window.application;
    }
    if (otherApplication)
        post(kApplicationActivatedNotification, window.application);
}

std::optional<RunningApplication> WindowEventWorkspace::frontApplication() {
    std::lock_guard lock(frontMutex_);
    return front_;
}

void WindowEventWorkspace::addObserver(const std::string& name, Observer observer) {
    observers_[name].push_back(std::move(observer));
}

void WindowEventWorkspace::post(const char* name, const RunningApplication& application) {
    auto it = observers_.find(name);
    if (it == observers_.end())
        return;
    const WorkspaceNotification notification{name, application};
    auto observers = it->second; // an observer may subscribe more
    for (auto& observer : observers)
        observer(notification);
}

std::optional<std::string>
WindowEventWorkspace::applicationPath(const std::string& bundleIdentifier) {
    return installed_.applicationPath ? installed_.applicationPath(bundleIdentifier) : std::nullopt;
}

ImagePtr WindowEventWorkspace::iconForFile(const std::string& path) {
    return installed_.iconForFile ? installed_.iconForFile(path) : nullptr;
}

std::string WindowEventWorkspace::displayNameAtPath(const std::string& path) {
    if (installed_.displayNameAtPath)
        if (auto name = installed_.displayNameAtPath(path))
            return *name;
    return Workspace::displayNameAtPath(path);
}

} // namespace velmora
