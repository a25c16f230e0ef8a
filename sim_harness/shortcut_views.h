// SPDX-License-Identifier: MIT
#pragma once
// The shortcut table and its recorders as the simulated desktop made them, for the statements
// and show lines that act on them.

#include "sim_desktop.h"

#include <memory>

namespace velmora::sim {

// Column identifiers of the shortcut table as the simulated layout names them.
inline constexpr const char* kSimIconColumn = "icon";
inline constexpr const char* kSimInputColumn = "input";
inline constexpr const char* kSimShortcutColumn = "shortcut";

// The popover's shortcut table; nullptr before the popover's view has loaded.
SimTableView* shortcutTable(SimDesktop& desktop);

// The first view of type ViewType directly inside CELL; nullptr when there is none.
template <class ViewType> std::shared_ptr<ViewType> firstInside(const std::shared_ptr<View>& cell) {
    if (!cell)
        return nullptr;
    for (const auto& view : cell->subviews())
        if (auto typed = std::dynamic_pointer_cast<ViewType>(view))
            return typed;
    return nullptr;
}

inline std::shared_ptr<SimShortcutRecorder> recorderIn(const std::shared_ptr<View>& cell) {
    return firstInside<SimShortcutRecorder>(cell);
}

} // namespace velmora::sim
