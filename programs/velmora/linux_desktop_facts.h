// SPDX-License-Identifier: MIT
#pragma once
// What the Linux desktops share in how the program behaves and looks (see desktop_facts.h).

#include "platform/desktop_facts.h"

namespace velmora::program {

// The first key typed after an activation must already be in the rule's layout. A rule for a
// layout that the keymap lacks shows its layout's name, and a new keymap gets the front
// application's layout back; there is no Alfred on Linux, and a store page only when the build
// names one. The indicator keeps clear of the screen's corner as tray pop-ups do.
inline constexpr DesktopFacts kLinuxDesktopFacts{.activationSelection =
                                                     ActivationSelection::AtOnceWithGuard,
                                                 .namesUnavailableRuleSources = true,
                                                 .reappliesRuleOnLayoutChange = true,
                                                 .hasAlfred = false,
                                                 .hasStorePage = VELMORA_HAS_STORE_PAGE != 0,
                                                 .indicatorStartMargin = 8,
                                                 .versionSeparator = ": "};

} // namespace velmora::program
