// SPDX-License-Identifier: MIT
#include "detection/window_frame_lookup.h"

#include "detection/window_entry.h"
#include "platform/application.h"

namespace velmora {

namespace {

template <typename Matches>
std::optional<PlistDictionary> firstMatchingBounds(const PlistArray& snapshot, Matches matches) {
    for (const PlistValue& entry : snapshot) {
        if (!matches(entry))
            continue;
        if (const PlistDictionary* bounds = windowBounds(entry))
            return *bounds;
        return std::nullopt; // the first match decides, even without a rectangle
    }
    return std::nullopt;
}

} // namespace

std::optional<PlistDictionary> getFrameOfFirstWindow(const PlistArray& snapshot,
                                                     const std::string& prefix) {
    if (prefix.empty())
        return std::nullopt;
    return firstMatchingBounds(snapshot, [&](const PlistValue& entry) {
        const std::string* owner = windowOwnerName(entry);
        return owner && owner->starts_with(prefix) && windowNameIsNotEmpty(entry) &&
               windowIsOnscreen(entry);
    });
}

std::optional<PlistDictionary> getFrameOfFirstWindow(WindowList& windows,
                                                     const std::string& prefix) {
    if (prefix.empty())
        return std::nullopt;
    return getFrameOfFirstWindow(windows.windowListSnapshot(), prefix);
}

std::optional<PlistDictionary> getFrameOfFirstWindowNamed(const PlistArray& snapshot,
                                                          const std::string& name) {
    if (name.empty())
        return std::nullopt;
    return firstMatchingBounds(snapshot, [&](const PlistValue& entry) {
        const std::string* owner = windowOwnerName(entry);
        return owner && *owner == name && windowIsOnscreen(entry) && windowLayer(entry) == 0 &&
               windowNameIsNotEmpty(entry);
    });
}

std::optional<PlistDictionary> WindowFrameLookup::getFrameOfFirstWindow(const std::string& name) {
    if (name.empty())
        return std::nullopt;
    return getFrameOfFirstWindowNamed(windows_.windowListSnapshot(), name);
}

void WindowFrameLookup::checkFollowWindow() {
    if (!settings_.boolForKey(keys::kFollowWindow))
        return;
    if (hooks_.launcherPanelOpen && hooks_.launcherPanelOpen())
        return;
    std::string name = dispatcher_.frontAppName();
    // The program's own windows (the popover, for one) are never followed.
    if (name == kOwnDisplayName)
        return;
    // No window found still places the indicator: out of sight, beyond the screen's corner.
    firstWindowFrame = getFrameOfFirstWindow(name);
    if (hooks_.adjustIconView)
        hooks_.adjustIconView();
}

} // namespace velmora
