// SPDX-License-Identifier: MIT
#include "platform/absent_services.h"

namespace velmora {

void NoGlobalEvents::addGlobalMonitor(std::uint64_t mask, Handler handler) {
    (void)mask;
    (void)handler;
    if (told_ || !log_)
        return;
    told_ = true;
    log_("Wayland gives no client the keyboard's and mouse's global events: the browser "
         "address-bar switch and the launcher modifiers are off on " +
         desktop_);
}

void NoGlobalShortcuts::registerHotKey(const HotKeyPtr& hotKey) {
    hotKeys_.push_back(hotKey);
    if (told_ || !log_)
        return;
    told_ = true;
    log_(desktop_ + " binds no global shortcuts for other programs: the hotkeys are off");
}

HotKeyPtr NoGlobalShortcuts::hotKeyWithIdentifier(const std::string& identifier) {
    for (const HotKeyPtr& hotKey : hotKeys_)
        if (hotKey->identifier() == identifier)
            return hotKey;
    return nullptr;
}

} // namespace velmora
