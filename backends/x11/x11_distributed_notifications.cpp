#include "x11_distributed_notifications.h"

namespace velmora::x11 {

void X11DesktopBroadcasts::addObserver(const std::string& name, Callback callback) {
    observers_[name].push_back(std::move(callback));
}

void X11DesktopBroadcasts::post(const std::string& name) {
    auto it = observers_.find(name);
    if (it == observers_.end())
        return;
    auto callbacks = it->second; // a callback may subscribe more
    for (auto& callback : callbacks)
        callback(name);
}

} // namespace velmora::x11
