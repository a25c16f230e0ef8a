// SPDX-License-Identifier: MIT
#pragma once
// The application identity of each window, remembered per window: WM_CLASS and the
// application ids do not change once a window is mapped, and desktop files are read once (again
// only when a folder changed and a window found no match). Shared by the workspace and the
// window list; safe on any thread.

#include "app_identity.h"
#include "desktop_entries.h"
#include "x11_connection.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace velmora::x11 {

class ApplicationIdentities {
  public:
    explicit ApplicationIdentities(X11Connection& connection);
    ApplicationIdentities(const ApplicationIdentities&) = delete;
    ApplicationIdentities& operator=(const ApplicationIdentities&) = delete;

    // The identity of each window, in the order given; windows not seen before are read in one
    // batch. A window that is gone gets the identity of a window without hints.
    std::vector<AppIdentity> identify(const std::vector<xcb_window_t>& windows);
    // Drops what is remembered about windows other than LIVE.
    void retainOnly(const std::set<xcb_window_t>& live);

  private:
    AppIdentity resolve(const WindowIdentityHints& hints); // with mutex_ held

    X11Connection& connection_;
    std::mutex mutex_;
    std::string locale_;
    DesktopEntryIndex desktop_;
    bool scanned_ = false;
    std::map<xcb_window_t, AppIdentity> known_;
};

} // namespace velmora::x11
