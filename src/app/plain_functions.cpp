// SPDX-License-Identifier: MIT
#include "app/plain_functions.h"

#include "app/app_delegate.h"
#include "detection/window_frame_lookup.h"
#include "engine/shell.h"

namespace velmora {

void changeInputTo(const std::string& id) {
    if (auto* d = AppDelegate::appDelegate())
        d->selection().changeInputTo(id);
}

std::string currentInputSourceID() {
    auto* d = AppDelegate::appDelegate();
    return d ? d->selection().currentInputSourceID() : std::string();
}

void changeInputToAppID(const std::optional<std::string>& bundleIdentifier) {
    if (auto* d = AppDelegate::appDelegate())
        d->dispatcher().changeInputToAppID(bundleIdentifier);
}

std::string frontAppNameID() {
    auto* d = AppDelegate::appDelegate();
    return d ? d->dispatcher().frontAppNameID() : std::string();
}

std::string frontAppName() {
    auto* d = AppDelegate::appDelegate();
    return d ? d->dispatcher().frontAppName() : std::string();
}

std::string runAsShellReturnInfo(const std::string& command) {
    auto* d = AppDelegate::appDelegate();
    return d ? runShellCommandForOutput(d->platform().childProcess, command) : std::string();
}

void callback(DesktopBroadcast broadcast) {
    if (auto* d = AppDelegate::appDelegate())
        d->systemNotifications().callback(broadcast);
}

} // namespace velmora

namespace velmora {

bool spotlightWindowOpened() {
    auto* d = AppDelegate::appDelegate();
    return d && d->launchers().spotlightWindowOpened();
}

bool alfredWindowOpened() {
    auto* d = AppDelegate::appDelegate();
    return d && d->launchers().alfredWindowOpened();
}

bool checkIfAlfredRunning() {
    auto* d = AppDelegate::appDelegate();
    return d && d->launchers().checkIfAlfredRunning();
}

std::optional<PlistDictionary> getFrameOfFirstWindow(const std::string& prefix) {
    auto* d = AppDelegate::appDelegate();
    if (!d)
        return std::nullopt;
    return getFrameOfFirstWindow(d->platform().windowList, prefix);
}

} // namespace velmora
