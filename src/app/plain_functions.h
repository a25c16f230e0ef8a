// SPDX-License-Identifier: MIT
#pragma once
// The engine's plain functions. Each works on the live delegate; without one it does nothing
// and returns the neutral value (empty string, false, none).

#include "platform/distributed_notifications.h"
#include "platform/property_list.h"

#include <optional>
#include <string>

namespace velmora {

void changeInputTo(const std::string& id);
std::string currentInputSourceID();
void changeInputToAppID(const std::optional<std::string>& bundleIdentifier);
std::string frontAppNameID();
std::string frontAppName();
std::string runAsShellReturnInfo(const std::string& command);
// The distributed-notification callback (menu tracking cancelled, input source changed).
void callback(DesktopBroadcast broadcast);
// Launcher panel tests on the current window list (the first sighting places the indicator).
bool spotlightWindowOpened();
bool alfredWindowOpened();
bool checkIfAlfredRunning();
// Bounds of the first titled on-screen window whose owner name begins with PREFIX. Any thread.
std::optional<PlistDictionary> getFrameOfFirstWindow(const std::string& prefix);

} // namespace velmora
