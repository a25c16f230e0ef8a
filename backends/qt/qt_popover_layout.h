// SPDX-License-Identifier: MIT
#pragma once
// The popover's content as laid out on the Qt desktop, 288 x 330 collapsed:
//
//   the rule table (application icon, name, layout choice), 288 x 262 at the top;
//   below it the add (+) and remove (-) buttons on the left, the expand button and the
//   settings button on the right;
//   the version label at the bottom left.
//
// The content keeps its views' distance from the top when the popover grows, so that what
// the collapsed popover shows stays in place and the room added at the bottom takes the
// shortcut section (which starts out of sight, below the content) and the box under it.
// Widths: icon 46, name 138, layout 102 pixels.

#include "platform/views.h"

namespace velmora::qt {

inline constexpr Size kPopoverContentSize{288, 330};

// The columns of the two tables.
inline constexpr const char* kShortcutColumnIcon = "icon";
inline constexpr const char* kShortcutColumnInput = "input";
inline constexpr const char* kShortcutColumnShortcut = "shortcut";

// A new layout with every view of PopoverLayout. Needs a QApplication.
PopoverLayout makeQtPopoverLayout();

} // namespace velmora::qt
