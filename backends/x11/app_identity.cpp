// SPDX-License-Identifier: MIT
#include "app_identity.h"

#include "platform/application.h"

namespace velmora::x11 {

namespace {

// _KDE_NET_WM_DESKTOP_FILE is usually a bare id, but some clients put a file name or a path.
std::string desktopIdFromKdeHint(std::string hint) {
    if (std::size_t slash = hint.rfind('/'); slash != std::string::npos)
        hint.erase(0, slash + 1);
    if (hint.ends_with(".desktop"))
        hint.resize(hint.size() - std::string_view(".desktop").size());
    return hint;
}

const DesktopEntry* findEntry(const WindowIdentityHints& hints, const DesktopEntryIndex& desktop) {
    if (hints.gtkApplicationId)
        if (auto* entry = desktop.findById(*hints.gtkApplicationId))
            return entry;
    if (hints.kdeDesktopFile)
        if (auto* entry = desktop.findById(desktopIdFromKdeHint(*hints.kdeDesktopFile)))
            return entry;
    if (hints.wmClassClass && !hints.wmClassClass->empty()) {
        if (auto* entry = desktop.findByStartupWMClass(*hints.wmClassClass))
            return entry;
        if (auto* entry = desktop.findByIdIgnoringCase(*hints.wmClassClass))
            return entry;
    }
    return nullptr;
}

} // namespace

AppIdentity resolveIdentity(const WindowIdentityHints& hints, const DesktopEntryIndex& desktop,
                            std::string_view locale) {
    AppIdentity identity;
    // Our windows say who they are by their class too, for other processes (velmora apps) that
    // cannot go by the process id.
    bool own = hints.ownWindow || hints.wmClassClass == kOwnBundleIdentifier ||
               hints.gtkApplicationId == kOwnBundleIdentifier;
    if (own) {
        identity.bundleIdentifier = kOwnBundleIdentifier;
        identity.localizedName = kOwnDisplayName;
    } else if (const DesktopEntry* entry = findEntry(hints, desktop)) {
        identity.bundleIdentifier = entry->id;
        identity.localizedName = localizedName(*entry, locale);
        identity.desktopFilePath = entry->path;
        if (identity.localizedName.empty() && hints.wmClassClass)
            identity.localizedName = *hints.wmClassClass;
    } else if (hints.wmClassClass && !hints.wmClassClass->empty()) {
        identity.bundleIdentifier = *hints.wmClassClass;
        identity.localizedName = *hints.wmClassClass;
    }
    identity.key = identity.bundleIdentifier ? "app:" + *identity.bundleIdentifier
                                             : "anonymous:" + hints.fallbackKey;
    return identity;
}

} // namespace velmora::x11
