// SPDX-License-Identifier: MIT
#pragma once
// An agent with its popover shown, and short ways to reach the shortcut table's recorders and
// the hotkey centre.

#include "editor/editor_agent.h"
#include "shortcut_views.h"

namespace velmora::testing {

inline PlistValue combo(std::int64_t keyCode, std::int64_t flags) {
    return PlistValue(
        PlistDictionary{{"keyCode", PlistValue(keyCode)}, {"modifierFlags", PlistValue(flags)}});
}

inline constexpr std::int64_t kCommand = 0x100000;
inline constexpr std::int64_t kOption = 0x80000;

class HotKeysAgent : public EditorAgent {
  public:
    Lines registrations() { return desktop.hotKeys().describeRegistrations(); }
    std::shared_ptr<View> cell(const char* column, std::int64_t row) {
        return sim::shortcutTable(desktop)->viewAtColumnRow(column, row);
    }
    // The recorder of ROW; the cell stays alive while the caller holds the recorder.
    std::shared_ptr<sim::SimShortcutRecorder> recorder(std::int64_t row) {
        return sim::recorderIn(cell(sim::kSimShortcutColumn, row));
    }
    PlistValue shortcuts() { return stored("shortcutOfInput").value_or(PlistValue("absent")); }
};

} // namespace velmora::testing
