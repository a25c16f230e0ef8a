// SPDX-License-Identifier: MIT
#include "engine/activation_dispatcher.h"

#include "engine/launcher_identifiers.h"
#include "platform/application.h"

namespace velmora {

ActivationDispatcher::ActivationDispatcher(Settings& settings, InputSourceSelection& selection,
                                           Workspace& workspace, Screens& screens, RunLoop& runLoop,
                                           Hooks hooks, ActivationSelection timing)
    : settings_(settings), selection_(selection), workspace_(workspace), screens_(screens),
      runLoop_(runLoop), hooks_(std::move(hooks)), timing_(timing) {}

void ActivationDispatcher::appChanged(const WorkspaceNotification& notification) {
    // The follow check is scheduled for every notification, also the ones ignored below.
    if (settings_.boolForKey(keys::kEnableTipOfState) && hooks_.checkFollowWindow)
        runLoop_.scheduledTimer(kFollowWindowDelay, false, hooks_.checkFollowWindow);
    if (hooks_.clearLauncherFlags)
        hooks_.clearLauncherFlags();

    std::optional<std::string> bundleIdentifier;
    if (notification.application)
        bundleIdentifier = notification.application->bundleIdentifier;

    // An application without identifier is never the program itself, and never equal to
    // lastApp, not even when lastApp is none: it is handled and finds no rule.
    if (bundleIdentifier && *bundleIdentifier == kOwnBundleIdentifier)
        return;
    if (bundleIdentifier && lastApp && *bundleIdentifier == *lastApp)
        return;
    lastApp = bundleIdentifier;

    auto mainScreen = screens_.mainScreen();
    std::int32_t screenNumber = mainScreen ? mainScreen->number : 0;
    if (screenNumber != lastScreenNumber)
        runLoop_.scheduledTimer(kScreenChangeDelay, false, [this] { delayChangeInputToAppID(); });
    else
        changeInputToAppID(bundleIdentifier);
    lastScreenNumber = screenNumber;
}

void ActivationDispatcher::delayChangeInputToAppID() {
    changeInputToAppID(lastApp);
}

void ActivationDispatcher::changeInputToAppID(const std::optional<std::string>& bundleIdentifier) {
    if (!bundleIdentifier)
        return;
    auto id = sourceToSelect(*bundleIdentifier);
    if (!id)
        return;
    if (isLauncherIdentifier(*bundleIdentifier)) {
        selection_.changeInputTo(*id);
        return;
    }
    if (timing_ == ActivationSelection::AtOnceWithGuard) {
        selectWithGuard(*bundleIdentifier, *id);
        return;
    }
    runLoop_.dispatchAfterMain(kSelectionDelay, [this, id = *id] {
        selection_.changeInputTo(id);
        if (hooks_.reset)
            hooks_.reset();
    });
}

void ActivationDispatcher::changeInputToAppIDAtOnce(const std::string& bundleIdentifier) {
    if (auto id = sourceToSelect(bundleIdentifier))
        selection_.changeInputTo(*id);
}

std::optional<std::string>
ActivationDispatcher::sourceToSelect(const std::string& bundleIdentifier) {
    auto id = settings_.ruleInputSourceID(bundleIdentifier);
    if (!id || selection_.isCurrent(*id))
        return std::nullopt;
    return id;
}

void ActivationDispatcher::selectWithGuard(const std::string& bundleIdentifier,
                                           const std::string& id) {
    selection_.changeInputTo(id);
    if (hooks_.reset)
        hooks_.reset();
    const std::uint64_t selected = selection_.selectionCount();
    runLoop_.dispatchAfterMain(kSelectionDelay, [this, bundleIdentifier, id, selected] {
        // Whatever the agent selected since, or handled as the application in front, has the
        // last word; only a source put back by someone else is undone.
        if (selection_.selectionCount() != selected || lastApp != bundleIdentifier)
            return;
        if (selection_.isCurrent(id))
            return;
        selection_.changeInputTo(id);
        if (hooks_.reset)
            hooks_.reset();
    });
}

std::string ActivationDispatcher::frontAppNameID() {
    auto front = workspace_.frontApplication();
    if (!front || !front->bundleIdentifier)
        return {};
    return *front->bundleIdentifier;
}

std::string ActivationDispatcher::frontAppName() {
    auto front = workspace_.frontApplication();
    if (!front || !front->bundleIdentifier)
        return {};
    return front->localizedName;
}

} // namespace velmora
