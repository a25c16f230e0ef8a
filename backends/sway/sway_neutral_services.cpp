// SPDX-License-Identifier: MIT
#include "sway_neutral_services.h"

namespace velmora::sway {

void NoGlobalEvents::addGlobalMonitor(std::uint64_t mask, Handler handler) {
    (void)mask;
    (void)handler;
    if (told_ || !log_)
        return;
    told_ = true;
    log_("Wayland gives no client the keyboard's and mouse's global events: the browser "
         "address-bar switch and the launcher modifiers are off on sway");
}

void SwayDesktopBroadcasts::post(DesktopBroadcast broadcast) {
    auto it = observers_.find(broadcast);
    if (it == observers_.end())
        return;
    auto callbacks = it->second; // a callback may subscribe more
    for (auto& callback : callbacks)
        callback(broadcast);
}

} // namespace velmora::sway
