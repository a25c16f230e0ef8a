// SPDX-License-Identifier: MIT
#pragma once
// The keyboard layouts and variants that XKB knows, from the xkeyboard-config registry that
// the desktops' keyboard settings show (read with libxkbregistry, exotic layouts included).

#include "rule_checks.h"

#include <vector>

namespace velmora::program {

// Empty when the registry cannot be read (no xkeyboard-config data installed).
std::vector<NamedLayout> xkbRegistryLayouts();

} // namespace velmora::program
