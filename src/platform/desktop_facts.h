// SPDX-License-Identifier: MIT
#pragma once
// Where the program differs by desktop: when an activation's rule is selected, and what a
// desktop has or lacks that the settings menu, the rule table and the popover's labels show.
// The defaults are the simulated desktop's, which keeps the program's original timing and face.

#include "platform/activation_selection.h"

namespace velmora {

struct DesktopFacts {
    // When an activated application's rule is selected (see activation_selection.h): after
    // the dispatcher's wait unless the desktop says to select at once.
    ActivationSelection activationSelection = ActivationSelection::AfterWait;
    // A rule whose input source is not among the enabled ones shows in the rule table by that
    // source's name, marked as not available now, instead of the "-" of no rule.
    bool namesUnavailableRuleSources = false;
    // A change of the keyboard's layouts (the enabled input sources changed notification)
    // applies the front application's rule again, once the input-change debounce has passed.
    bool reappliesRuleOnLayoutChange = false;
    // The settings menu's tip about Alfred: only where that launcher exists.
    bool hasAlfred = true;
    // The settings menu's "Rate Velmora": only where the program has a store page to rate it.
    bool hasStorePage = true;
    // How far the indicator keeps in from the screen's left and top edges before it follows a
    // window (0: in the very corner).
    int indicatorStartMargin = 0;
    // What stands between "Version" and the version number in the popover's label.
    const char* versionSeparator = ":";
};

} // namespace velmora
