// SPDX-License-Identifier: MIT
#pragma once
// When the rule of an application that came to the front takes effect.

namespace velmora {

enum class ActivationSelection {
    // The rule's source is selected when the dispatcher's wait after the activation (100 ms)
    // ends, followed by the window refresh. The simulated desktop's timing.
    AfterWait,
    // The rule's source is selected as soon as the activation is known, so that the first key
    // the user types into the application already arrives in its layout. The wait stays as a
    // guard: when it ends and the current source is no longer the one selected (the desktop's
    // own per-window layout or a toolkit put another back), it is selected again. The guard
    // stands down when the agent selected anything else meanwhile (another application's
    // rule, a hotkey, a launcher panel) or another application was handled since.
    AtOnceWithGuard,
};

} // namespace velmora
