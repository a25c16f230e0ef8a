// SPDX-License-Identifier: MIT
#include "kde_global_shortcuts.h"

#include <algorithm>

namespace velmora::kde {

void KdeGlobalShortcuts::registerHotKey(const HotKeyPtr& hotKey) {
    if (!hotKey)
        return;
    registered_.push_back(hotKey);
    if (told_ || !log_)
        return;
    told_ = true;
    log_(serviceRuns_ ? "stored hotkeys are off on KDE: the agent does not bind them through "
                        "KDE's global shortcuts yet"
                      : "stored hotkeys are off: KDE's global shortcuts service "
                        "(org.kde.kglobalaccel) is not running");
}

void KdeGlobalShortcuts::unregisterHotKey(const HotKeyPtr& hotKey) {
    std::erase(registered_, hotKey);
}

HotKeyPtr KdeGlobalShortcuts::hotKeyWithIdentifier(const std::string& identifier) {
    const auto found =
        std::find_if(registered_.begin(), registered_.end(),
                     [&](const HotKeyPtr& k) { return k->identifier() == identifier; });
    return found == registered_.end() ? nullptr : *found;
}

} // namespace velmora::kde
