// SPDX-License-Identifier: MIT
#include "kde_workspace.h"

namespace velmora::kde {

KdeWorkspace::KdeWorkspace(Identify identify, InstalledApplicationLookup installed)
    : WindowEventWorkspace(std::move(installed)), identify_(std::move(identify)) {}

void KdeWorkspace::windowActivated(const KWinWindow& window) {
    const ApplicationWindow shown(identify_(window), window.pid);
    if (windows_.remember(window.id, shown))
        launched(shown);
    frontWindow_ = window;
    activated(shown);
}

} // namespace velmora::kde
