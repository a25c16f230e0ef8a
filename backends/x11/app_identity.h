// SPDX-License-Identifier: MIT
#pragma once
// Which application a window belongs to. X has no bundle identifiers: the desktop-file id
// stands in for one, because it is what the desktop itself uses to tell applications apart,
// and the WM_CLASS class is the fallback every client sets.

#include "desktop_entries.h"

#include <optional>
#include <string>

namespace velmora::x11 {

// What a window says about its application.
struct WindowIdentityHints {
    std::optional<std::string> gtkApplicationId; // _GTK_APPLICATION_ID
    std::optional<std::string> kdeDesktopFile;   // _KDE_NET_WM_DESKTOP_FILE
    std::optional<std::string> wmClassClass;     // second string of WM_CLASS
    bool ownWindow = false;                      // made by this very process
    // Tells windows without any identity apart: by process when the pid is known, else by
    // window. Never shown.
    std::string fallbackKey;
};

struct AppIdentity {
    std::optional<std::string> bundleIdentifier; // none: the window names no application
    std::string localizedName;
    std::optional<std::string> desktopFilePath;
    // Windows with equal keys belong to one application.
    std::string key;

    bool operator==(const AppIdentity&) const = default;
};

// The desktop-file id when one of the hints leads to an installed desktop file, in this order:
// _GTK_APPLICATION_ID, _KDE_NET_WM_DESKTOP_FILE, a file whose StartupWMClass equals the class,
// a file whose id equals the class ignoring case. Otherwise the class as it stands. The name
// is the desktop file's Name for LOCALE, otherwise the class. The agent's own windows (made by
// this process, or of the class "com.quorvant.Quorvant-Velmora") are the agent, "Velmora".
AppIdentity resolveIdentity(const WindowIdentityHints& hints, const DesktopEntryIndex& desktop,
                            std::string_view locale);

} // namespace velmora::x11
