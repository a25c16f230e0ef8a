// SPDX-License-Identifier: MIT
#include "detection/launcher_panels.h"

#include "detection/window_entry.h"

namespace velmora {

bool isSpotlightPanel(const PlistValue& entry) {
    const std::string* owner = windowOwnerName(entry);
    if (!owner || (*owner != kSpotlightOwnerNameChinese && *owner != kSpotlightOwnerName))
        return false;
    return windowIsOnscreen(entry) &&
           boundsWholeNumber(windowBounds(entry), boundsKey::kWidth) >= kSpotlightPanelMinimumWidth;
}

bool isAlfredPanel(const PlistValue& entry) {
    const std::string* owner = windowOwnerName(entry);
    return owner && owner->starts_with(kAlfredOwnerNamePrefix) && windowIsOnscreen(entry) &&
           windowLayer(entry) == kAlfredPanelLayer;
}

bool isModifierReleaseValue(std::uint64_t flags) {
    return flags == 0x100 || flags == 0x10100 || flags == 0x800100 || flags == 0x810100;
}

bool releaseStopsOpenPoll(std::uint64_t flags) {
    return flags == 0x100 || flags == 0x10100;
}

} // namespace velmora
