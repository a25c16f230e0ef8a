// SPDX-License-Identifier: MIT
#include "kde_workspace.h"

#include <algorithm>

namespace velmora::kde {

KdeWorkspace::KdeWorkspace(Identify identify, InstalledApplicationLookup installed)
    : WindowEventWorkspace(std::move(installed)), identify_(std::move(identify)) {}

void KdeWorkspace::windowActivated(const KWinWindow& window) {
    const ApplicationWindow shown(identify_(window), window.pid);
    if (windows_.remember(window.id, shown))
        launched(shown);
    frontId_ = window.id;
    // The layout's selection first: moving the indicator draws it anew.
    activated(shown);
    takeFrontFrame(window);
}

void KdeWorkspace::windowMoved(const KWinWindow& window) {
    // A window behind may still be settling after the activation of another.
    if (window.id == frontId_)
        takeFrontFrame(window);
}

void KdeWorkspace::takeFrontFrame(const KWinWindow& window) {
    // Cut to what any desktop can be, so that the corner's sums cannot overflow.
    static constexpr std::int32_t kFarthest = 1'000'000;
    const auto cut = [](std::int32_t value) { return std::clamp(value, -kFarthest, kFarthest); };
    const QRect frame(cut(window.x), cut(window.y), cut(window.width), cut(window.height));
    if (frame.isEmpty() || frame == frontFrame_)
        return;
    frontFrame_ = frame;
    if (frameObserver_)
        frameObserver_(frame);
}

} // namespace velmora::kde
