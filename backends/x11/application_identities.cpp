// SPDX-License-Identifier: MIT
#include "application_identities.h"

#include "window_facts.h"

namespace velmora::x11 {

ApplicationIdentities::ApplicationIdentities(X11Connection& connection)
    : connection_(connection), locale_(messagesLocale()) {}

AppIdentity ApplicationIdentities::resolve(const WindowIdentityHints& hints) {
    if (!scanned_) {
        desktop_ = DesktopEntryIndex::scan(applicationDirectories());
        scanned_ = true;
    }
    AppIdentity identity = resolveIdentity(hints, desktop_, locale_);
    bool couldHaveFile = hints.gtkApplicationId || hints.kdeDesktopFile || hints.wmClassClass;
    if (!identity.desktopFilePath && !hints.ownWindow && couldHaveFile && desktop_.isStale()) {
        // An application installed while we run.
        desktop_ = DesktopEntryIndex::scan(applicationDirectories());
        identity = resolveIdentity(hints, desktop_, locale_);
    }
    return identity;
}

std::vector<AppIdentity> ApplicationIdentities::identify(const std::vector<xcb_window_t>& windows) {
    std::vector<xcb_window_t> unknown;
    {
        std::lock_guard lock(mutex_);
        for (xcb_window_t window : windows)
            if (!known_.contains(window))
                unknown.push_back(window);
    }
    std::vector<WindowFacts> facts;
    if (!unknown.empty())
        facts = readWindowFacts(connection_, unknown, kIdentityPart);

    std::lock_guard lock(mutex_);
    std::map<xcb_window_t, AppIdentity> fresh;
    for (const WindowFacts& f : facts) {
        AppIdentity identity = resolve(f.hints);
        if (f.exists)
            known_[f.window] = identity;
        fresh[f.window] = identity;
    }
    std::vector<AppIdentity> result;
    result.reserve(windows.size());
    for (xcb_window_t window : windows) {
        if (auto it = known_.find(window); it != known_.end())
            result.push_back(it->second);
        else
            result.push_back(fresh[window]);
    }
    return result;
}

void ApplicationIdentities::retainOnly(const std::set<xcb_window_t>& live) {
    std::lock_guard lock(mutex_);
    std::erase_if(known_, [&](const auto& entry) { return !live.contains(entry.first); });
}

} // namespace velmora::x11
