// SPDX-License-Identifier: MIT
#include "platform/desktop_broadcast_hub.h"

namespace velmora {

void DesktopBroadcastHub::addObserver(DesktopBroadcast broadcast, Callback callback) {
    observers_[broadcast].push_back(std::move(callback));
}

void DesktopBroadcastHub::post(DesktopBroadcast broadcast) {
    auto it = observers_.find(broadcast);
    if (it == observers_.end())
        return;
    auto callbacks = it->second; // a callback may subscribe more
    for (auto& callback : callbacks)
        callback(broadcast);
}

} // namespace velmora
