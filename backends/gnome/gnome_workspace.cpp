// SPDX-License-Identifier: MIT
#include "gnome_workspace.h"

namespace velmora::gnome {

GnomeWorkspace::GnomeWorkspace(Identify identify, InstalledApplicationLookup installed)
    : WindowEventWorkspace(std::move(installed)), identify_(std::move(identify)) {}

void GnomeWorkspace::focusChanged(const GnomeFocus& focus) {
    if (focus.empty())
        return; // the overview, a menu: no window of an application's has the focus
    const ApplicationWindow shown(identify_(focus), focus.pid);
    if (applications_.remember(shown.key, shown))
        launched(shown);
    activated(shown);
}

} // namespace velmora::gnome
