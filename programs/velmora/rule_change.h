// SPDX-License-Identifier: MIT
#pragma once
// "velmora rule APP SOURCE-ID" and "velmora rule APP -" from start to end: the ID is checked
// first (one that can never be selected is refused, nothing is written), the rule is stored,
// and then the user hears of what the desktop does not have: a layout missing from the keymap
// now, an application that is neither installed nor running. The display is asked when there
// is one; rules are written without one too.

#include "command_line.h"

#include <ostream>

namespace velmora::program {

// COMMAND is a SetRule or RemoveRule. Exit status: 0 when the rule is stored (notes or not), 1
// when the ID is refused or the file could not be saved (the store said why).
int changeRule(const Command& command, std::ostream& err);

} // namespace velmora::program
