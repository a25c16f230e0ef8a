// SPDX-License-Identifier: MIT
#pragma once
// Turns the activation of an application into the selection of its rule's input source.

#include "engine/input_source_selection.h"
#include "engine/settings.h"
#include "platform/activation_selection.h"
#include "platform/run_loop.h"
#include "platform/screens.h"
#include "platform/workspace.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace velmora {

class ActivationDispatcher {
  public:
    // What the dispatcher asks of the rest of the agent. An empty function is skipped.
    struct Hooks {
        std::function<void()> checkFollowWindow;  // the indicator's front-window follow check
        std::function<void()> clearLauncherFlags; // a launcher panel is no longer in force
        std::function<void()> reset;              // the window refresh after a selection
    };

    static constexpr Milliseconds kFollowWindowDelay{500};
    static constexpr Milliseconds kScreenChangeDelay{200};
    static constexpr Milliseconds kSelectionDelay{100};

    // TIMING: when an ordinary application's rule is selected (the launchers' always at once).
    ActivationDispatcher(Settings& settings, InputSourceSelection& selection, Workspace& workspace,
                         Screens& screens, RunLoop& runLoop, Hooks hooks,
                         ActivationSelection timing = ActivationSelection::AfterWait);

    // An application was activated or unhidden.
    void appChanged(const WorkspaceNotification& notification);
    // The screen-change timer: applies the rule of whatever lastApp is by now.
    void delayChangeInputToAppID();
    // Applies BUNDLE's rule: at once for the launchers; else 100 ms later with a reset, or at
    // once with a reset and the guard 100 ms later, as the timing says.
    void changeInputToAppID(const std::optional<std::string>& bundleIdentifier);
    // Applies BUNDLE's rule at once, without reset or guard, as for a launcher's panel.
    void changeInputToAppIDAtOnce(const std::string& bundleIdentifier);

    std::string frontAppNameID();
    std::string frontAppName();

    // The application handled last (none before the first, or after one without identifier).
    std::optional<std::string> lastApp;
    // The main screen's number at the last handled activation.
    std::int32_t lastScreenNumber = 0;

  private:
    void selectWithGuard(const std::string& bundleIdentifier, const std::string& id);
    // BUNDLE's rule's input source when it is not the current one already; else none.
    std::optional<std::string> sourceToSelect(const std::string& bundleIdentifier);

    Settings& settings_;
    InputSourceSelection& selection_;
    Workspace& workspace_;
    Screens& screens_;
    RunLoop& runLoop_;
    Hooks hooks_;
    ActivationSelection timing_;
};

} // namespace velmora
