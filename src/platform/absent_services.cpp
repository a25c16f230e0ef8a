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

} // namespace velmora
