// SPDX-License-Identifier: MIT
#pragma once
// The panels of the launchers that never come to the front: rofi and dmenu map an
// override-redirect window and grab the keyboard, while the window manager keeps the
// application the user came from active. Their windows are told by the WM_CLASS class and
// followed by the map, unmap and destroy events of the root's children (the workspace selects
// them), so nothing polls; a launcher that is killed loses its window like any other client.
//
// Everything here runs on the main thread.

#include "application_identities.h"
#include "platform/property_list.h"
#include "window_facts.h"
#include "x11_connection.h"

#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace velmora::x11 {

// The WM_CLASS classes of those launchers: "Rofi" and "dmenu".
bool isLauncherPanelClass(std::string_view wmClassClass);

class LauncherPanelWatch {
  public:
    struct Change {
        bool opened = false; // else closed
        AppIdentity launcher;
        // With an opening: the panel's rectangle as a window-list entry gives bounds.
        std::optional<PlistDictionary> bounds;
    };

    LauncherPanelWatch(X11Connection& connection, ApplicationIdentities& identities)
        : connection_(connection), identities_(identities) {}

    // Takes the panels already on screen as open, without a change to report. Call once the
    // root's children are watched, so that none slips between.
    void takeOpenPanels();

    // What EVENT (any event of the connection) changes: a launcher's panel mapped, or one
    // that was open unmapped or went away. Reads the class of every override-redirect window
    // that maps on the root (one round trip; menus and tooltips are such windows too).
    std::optional<Change> onEvent(const xcb_generic_event_t& event);

    // The launchers whose panel was seen since the watch started, open or not, each once, in
    // the order they were first seen: their program runs only while the panel is open, and
    // the user still wants them offered for a rule afterwards.
    const std::vector<AppIdentity>& seenLaunchers() const { return seen_; }

  private:
    // The panel's opening when WINDOW (with FACTS read) is one.
    std::optional<Change> opened(const WindowFacts& facts);
    std::optional<Change> gone(xcb_window_t window);

    X11Connection& connection_;
    ApplicationIdentities& identities_;
    std::map<xcb_window_t, AppIdentity> open_;
    std::vector<AppIdentity> seen_;
};

} // namespace velmora::x11
