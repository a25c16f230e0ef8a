// SPDX-License-Identifier: MIT
#include "x11_distributed_notifications.h"

namespace velmora::x11 {

void X11DesktopBroadcasts::addObserver(DesktopBroadcast broadcast, Callback callback) {
    observers_[broadcast].push_back(std::move(callback));
}

void X11DesktopBroadcasts::post(DesktopBroadcast broadcast) {
    auto it = observers_.find(broadcast);
    if (it == observers_.end())
        return;
    auto callbacks = it->second; // a callback may subscribe more
    for (auto& callback : callbacks)
        callback(broadcast);
}

} // namespace velmora::x11
