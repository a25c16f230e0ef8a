// SPDX-License-Identifier: MIT
#include "detection/launcher_detection.h"

#include "detection/launcher_panels.h"
#include "detection/window_entry.h"
#include "engine/launcher_identifiers.h"

#include <algorithm>
#include <cmath>

namespace velmora {

LauncherDetection::~LauncherDetection() {
    for (const auto& timer : {spotlightCheckTimer, timerOfCheckAlfred, timerOfCheckAlfredWillOpen})
        if (timer)
            timer->invalidate();
}

bool LauncherDetection::panelOpened(bool (*isPanel)(const PlistValue&), bool alreadyOpen) {
    const PlistArray snapshot = windows_.windowListSnapshot();
    for (const PlistValue& entry : snapshot) {
        if (!isPanel(entry))
            continue;
        if (!alreadyOpen)
            placeIndicatorAtPanel(windowBounds(entry));
        return true;
    }
    return false;
}

void LauncherDetection::placeIndicatorAtPanel(const PlistDictionary* bounds) {
    frames_.firstWindowFrame = bounds ? std::optional<PlistDictionary>(*bounds) : std::nullopt;
    runLoop_.scheduledTimer(kPlaceIndicatorDelay, false, [this] {
        if (hooks_.adjustIconView)
            hooks_.adjustIconView();
    });
}

void LauncherDetection::reportedPanelOpened(const std::string& launcher,
                                            const std::optional<PlistDictionary>& bounds) {
    if (bounds)
        placeIndicatorAtPanel(&*bounds);
    reportedPanelOpen = true;
    rememberFrontAppIfNoLastApp();
    dispatcher_.changeInputToAppIDAtOnce(launcher);
}

// As the close polls end: lastApp's rule once more, also when an activation has cleared the
// flag meanwhile (it is then the activated application's).
void LauncherDetection::reportedPanelClosed() {
    reportedPanelOpen = false;
    dispatcher_.changeInputToAppID(dispatcher_.lastApp);
    if (hooks_.checkFollowWindow)
        hooks_.checkFollowWindow();
}

bool LauncherDetection::spotlightWindowOpened() {
    return panelOpened(isSpotlightPanel, spotlightPanelSeen);
}

bool LauncherDetection::alfredWindowOpened() {
    return panelOpened(isAlfredPanel, alfredPanelSeen);
}

bool LauncherDetection::checkIfAlfredRunning() {
    for (const RunningApplication& app : workspace_.runningApplications()) {
        if (app.bundleIdentifier && isAlfredIdentifier(*app.bundleIdentifier)) {
            realAlfredAppID = app.bundleIdentifier;
            return true;
        }
    }
    return false;
}

void LauncherDetection::rememberFrontAppIfNoLastApp() {
    if (!dispatcher_.lastApp)
        dispatcher_.lastApp = dispatcher_.frontAppNameID();
}

void LauncherDetection::spotlightOpeningCheck() {
    if (spotlightPanelSeen)
        return;
    runLoop_.sleep(kSpotlightSettleDelay);
    // The flag is read again: the wait may have let another check open the panel meanwhile.
    if (spotlightPanelSeen || !spotlightWindowOpened())
        return;
    spotlightPanelSeen = true;
    rememberFrontAppIfNoLastApp();
    dispatcher_.changeInputToAppID(std::string(kSpotlightBundleIdentifier));
    restartPoll(spotlightCheckTimer, kClosePollInterval,
                &LauncherDetection::checkSpotlightIfOpening);
}

void LauncherDetection::flagsHandler(std::uint64_t flags, double timestamp) {
    if (isModifierReleaseValue(flags)) {
        if (alfredPanelSeen)
            restartPoll(timerOfCheckAlfred, kClosePollInterval,
                        &LauncherDetection::checkAlfredIfOpening);
        if (releaseStopsOpenPoll(flags))
            runLoop_.scheduledTimer(kOpenPollStopDelay, false,
                                    [this] { stopCheckAlfredWillOpen(); });
        // A release leaves the last press alone: a double tap is measured press to press.
        return;
    }

    if (isDoubleTapGap(timestamp - timeOfLastModifierFlagsDown) && flags == lastFlags &&
        checkIfAlfredRunning()) {
        runLoop_.sleep(kDoubleTapSettleDelay);
        if (alfredWindowOpened() && !alfredPanelSeen) {
            rememberFrontAppIfNoLastApp();
            alfredPanelSeen = true;
            dispatcher_.changeInputToAppID(realAlfredAppID);
        }
    }
    timeOfLastModifierFlagsDown = timestamp;
    lastFlags = flags;

    bool alfredRunning = checkIfAlfredRunning();
    if (alfredPanelSeen)
        restartPoll(timerOfCheckAlfred, kClosePollInterval,
                    &LauncherDetection::checkAlfredIfOpening);
    else if (alfredRunning)
        restartPoll(timerOfCheckAlfredWillOpen, kOpenPollInterval,
                    &LauncherDetection::checkAlfredWillOpen);
}

bool LauncherDetection::isDoubleTapGap(double gap) {
    if (!(gap < 1.0)) // also NaN
        return false;
    // A press stamped before the last one (a clock that went back) counts, as any short gap.
    gap = std::max(gap, -1.0);
    return std::llround(gap * 1e6) < kDoubleTapWindowMicroseconds;
}

// The close polls only ask whether the panel is still there. After an activation has cleared
// the flag, a panel still on screen is not a new sighting: taking it for one would pull the
// indicator back to the panel at every step, away from the activated application's window.
void LauncherDetection::checkSpotlightIfOpening() {
    if (panelOpened(isSpotlightPanel, /*alreadyOpen=*/true))
        return;
    spotlightPanelSeen = false;
    stopPoll(spotlightCheckTimer);
    dispatcher_.changeInputToAppID(dispatcher_.lastApp);
    if (hooks_.checkFollowWindow)
        hooks_.checkFollowWindow();
}

void LauncherDetection::checkAlfredIfOpening() {
    if (panelOpened(isAlfredPanel, /*alreadyOpen=*/true))
        return;
    alfredPanelSeen = false;
    stopPoll(timerOfCheckAlfred);
    dispatcher_.changeInputToAppID(dispatcher_.lastApp);
    if (hooks_.checkFollowWindow)
        hooks_.checkFollowWindow();
}

void LauncherDetection::checkAlfredWillOpen() {
    if (!alfredWindowOpened())
        return;
    alfredPanelSeen = true;
    stopPoll(timerOfCheckAlfredWillOpen);
    dispatcher_.changeInputToAppID(realAlfredAppID);
}

void LauncherDetection::stopCheckAlfredWillOpen() {
    stopPoll(timerOfCheckAlfredWillOpen);
}

void LauncherDetection::stopPoll(const std::shared_ptr<Timer>& timer) {
    if (timer)
        timer->setFireDateDistantFuture();
}

void LauncherDetection::restartPoll(std::shared_ptr<Timer>& timer, Milliseconds interval,
                                    void (LauncherDetection::*step)()) {
    if (timer) {
        stopPoll(timer);
        // The replaced timer would never fire again; let the run loop release it, so that
        // a poll restarted at every key press does not pile up stopped timers.
        timer->invalidate();
    }
    timer = runLoop_.scheduledTimer(interval, true, [this, step] { (this->*step)(); });
}

} // namespace velmora
