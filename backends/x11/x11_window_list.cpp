// SPDX-License-Identifier: MIT
#include "x11_window_list.h"

#include "client_windows.h"

#include <algorithm>

namespace velmora::x11 {

namespace {

constexpr std::int64_t kDesktopLevel = -2147483623;
constexpr std::int64_t kBelowLevel = -1;
constexpr std::int64_t kNormalLevel = 0;
constexpr std::int64_t kFloatingLevel = 3;
constexpr std::int64_t kDockLevel = 20;
constexpr std::int64_t kStatusLevel = 25;
constexpr std::int64_t kPopUpMenuLevel = 101;
constexpr std::int64_t kHelpLevel = 200;

bool contains(const std::vector<xcb_atom_t>& atoms, xcb_atom_t atom) {
    return std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

PlistDictionary boundsDictionary(const WindowBounds& bounds) {
    return PlistDictionary{
        {"X", static_cast<std::int64_t>(bounds.x)},
        {"Y", static_cast<std::int64_t>(bounds.y)},
        {"Width", static_cast<std::int64_t>(bounds.width)},
        {"Height", static_cast<std::int64_t>(bounds.height)},
    };
}

} // namespace

std::int64_t X11WindowList::layerOf(const WindowFacts& facts) const {
    const auto& ewmh = connection_.ewmh();
    xcb_atom_t type = primaryWindowType(connection_, facts);
    if (type == ewmh._NET_WM_WINDOW_TYPE_DESKTOP)
        return kDesktopLevel;
    if (type == ewmh._NET_WM_WINDOW_TYPE_DOCK)
        return kDockLevel;
    if (type == ewmh._NET_WM_WINDOW_TYPE_NOTIFICATION)
        return kStatusLevel;
    if (type == ewmh._NET_WM_WINDOW_TYPE_MENU || type == ewmh._NET_WM_WINDOW_TYPE_POPUP_MENU ||
        type == ewmh._NET_WM_WINDOW_TYPE_DROPDOWN_MENU || type == ewmh._NET_WM_WINDOW_TYPE_COMBO)
        return kPopUpMenuLevel;
    if (type == ewmh._NET_WM_WINDOW_TYPE_TOOLTIP)
        return kHelpLevel;
    if (contains(facts.netWmStates, ewmh._NET_WM_STATE_ABOVE))
        return kFloatingLevel;
    if (contains(facts.netWmStates, ewmh._NET_WM_STATE_BELOW))
        return kBelowLevel;
    return kNormalLevel;
}

PlistArray X11WindowList::windowListSnapshot() {
    std::vector<xcb_window_t> windows = clientWindowsBottomToTop(connection_);
    std::reverse(windows.begin(), windows.end());
    std::vector<WindowFacts> facts =
        readWindowFacts(connection_, windows, kNamePart | kTypePart | kMapPart | kGeometryPart);
    std::vector<AppIdentity> identities = identities_.identify(windows);

    PlistArray list;
    for (std::size_t i = 0; i < facts.size(); ++i) {
        const WindowFacts& f = facts[i];
        // Window managers unmap what is minimized or on another desktop.
        if (!f.exists || !f.viewable || !f.bounds)
            continue;
        PlistDictionary entry;
        entry[kWindowOwnerNameKey] = identities[i].localizedName;
        if (f.name)
            entry[kWindowNameKey] = *f.name;
        entry[kWindowIsOnscreenKey] = true;
        entry[kWindowLayerKey] = layerOf(f);
        entry[kWindowBoundsKey] = boundsDictionary(*f.bounds);
        if (f.contentBounds)
            entry[kVelmoraWindowContentBounds] = boundsDictionary(*f.contentBounds);
        list.push_back(std::move(entry));
    }
    return list;
}

} // namespace velmora::x11
