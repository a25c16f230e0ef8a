// SPDX-License-Identifier: MIT
#pragma once
// Spotlight and Alfred open their search panels without activating, so the activation
// dispatcher never hears of them. This watches for the panels in the window list (after menu
// tracking is cancelled for Spotlight; after a double tap or while a modifier key is held for
// Alfred), applies the launcher's rule while a panel is open, and restores the rule of the
// application in front before it once the panel is gone. Panels that the desktop reports
// itself (rofi, dmenu on X11) are handled the same way, without looking or polling.
//
// Everything here runs on the main thread.

#include "detection/window_frame_lookup.h"
#include "engine/activation_dispatcher.h"
#include "platform/run_loop.h"
#include "platform/window_list.h"
#include "platform/workspace.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

class LauncherDetection {
  public:
    // What detection asks of the rest of the agent. An empty function is skipped.
    struct Hooks {
        std::function<void()> adjustIconView;    // indicator to the newly detected panel
        std::function<void()> checkFollowWindow; // indicator back to the front window
    };

    // Waits that let a panel reach the screen before it is looked for (they block the
    // main thread, as the panel tests must see the panel before anything else runs).
    static constexpr Milliseconds kSpotlightSettleDelay{100};
    static constexpr Milliseconds kDoubleTapSettleDelay{50};
    // Two presses of the same modifier closer than this, press to press, are a double tap.
    static constexpr std::int64_t kDoubleTapWindowMicroseconds = 260000;
    static constexpr Milliseconds kClosePollInterval{200};
    static constexpr Milliseconds kOpenPollInterval{100};
    static constexpr Milliseconds kOpenPollStopDelay{100};
    static constexpr Milliseconds kPlaceIndicatorDelay{100};

    LauncherDetection(WindowList& windows, Workspace& workspace, RunLoop& runLoop,
                      ActivationDispatcher& dispatcher, WindowFrameLookup& frames, Hooks hooks)
        : windows_(windows), workspace_(workspace), runLoop_(runLoop), dispatcher_(dispatcher),
          frames_(frames), hooks_(std::move(hooks)) {}
    // The polls are repeating timers aimed at this object: they go with it.
    ~LauncherDetection();
    LauncherDetection(const LauncherDetection&) = delete;
    LauncherDetection& operator=(const LauncherDetection&) = delete;

    // Panel tests on a fresh snapshot. The first sighting of a panel (its flag still false)
    // keeps the panel's rectangle for the indicator and places the indicator 0.1 s later.
    bool spotlightWindowOpened();
    bool alfredWindowOpened();
    // Whether an Alfred edition is running; remembers its identifier in realAlfredAppID.
    bool checkIfAlfredRunning();

    // Menu tracking was cancelled: the Spotlight panel may be opening.
    void spotlightOpeningCheck();
    // A global flags-changed event: FLAGS raw, TIMESTAMP in seconds since start-up.
    void flagsHandler(std::uint64_t flags, double timestamp);

    // Poll steps, sent by the poll timers.
    void checkSpotlightIfOpening();
    void checkAlfredIfOpening();
    void checkAlfredWillOpen();
    void stopCheckAlfredWillOpen();

    // A panel the desktop reported: LAUNCHER's rule at once, the indicator at BOUNDS 0.1 s
    // later (when known); once it closed, the rule of the application handled last again and
    // the indicator back at the front window.
    void reportedPanelOpened(const std::string& launcher,
                             const std::optional<PlistDictionary>& bounds);
    void reportedPanelClosed();

    // Called for every application activation: a panel is no longer in force.
    void clearFlags() {
        spotlightPanelSeen = false;
        alfredPanelSeen = false;
        reportedPanelOpen = false;
    }
    bool launcherPanelOpen() const {
        return spotlightPanelSeen || alfredPanelSeen || reportedPanelOpen;
    }

    bool spotlightPanelSeen = false;
    bool alfredPanelSeen = false;
    bool reportedPanelOpen = false;
    std::optional<std::string> realAlfredAppID;
    double timeOfLastModifierFlagsDown = 0.0; // time stamp of the last press (not release)
    std::uint64_t lastFlags = 0;              // raw flags of that press

    // Close polls (0.2 s) and the Alfred open poll (0.1 s). A stopped poll keeps its timer
    // with the next firing in the distant future; a restart replaces it.
    std::shared_ptr<Timer> spotlightCheckTimer;
    std::shared_ptr<Timer> timerOfCheckAlfred;
    std::shared_ptr<Timer> timerOfCheckAlfredWillOpen;

    // Whether GAP seconds between two presses make a double tap. Measured in whole
    // microseconds, so that a gap of 0.26 s is 0.26 s whatever its binary form (3.26 - 3.0
    // falls just short of 0.26 in floating point).
    static bool isDoubleTapGap(double gap);

  private:
    // With ALREADYOPEN a sighting keeps nothing and places nothing.
    bool panelOpened(bool (*isPanel)(const PlistValue&), bool alreadyOpen);
    // Keeps a newly seen panel's BOUNDS and places the indicator there 0.1 s later.
    void placeIndicatorAtPanel(const PlistDictionary* bounds);
    void restartPoll(std::shared_ptr<Timer>& timer, Milliseconds interval,
                     void (LauncherDetection::*step)());
    static void stopPoll(const std::shared_ptr<Timer>& timer);
    // lastApp is what a closed panel restores; before any activation it is the front app.
    void rememberFrontAppIfNoLastApp();

    WindowList& windows_;
    Workspace& workspace_;
    RunLoop& runLoop_;
    ActivationDispatcher& dispatcher_;
    WindowFrameLookup& frames_;
    Hooks hooks_;
};

} // namespace velmora
