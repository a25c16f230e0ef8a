// SPDX-License-Identifier: MIT
#pragma once
// The rule table: one row per application with its icon, its name and a choice of input
// source. Choosing writes the application's rule record at once.
//
// Main thread only.

#include "editor/editor_lists.h"
#include "engine/settings.h"
#include "platform/run_loop.h"
#include "platform/views.h"
#include "platform/workspace.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace velmora {

class RuleTable {
  public:
    // What the table asks of its controller. An empty function is skipped.
    struct Hooks {
        std::function<void(ComboBox& box)> inputSelectionChanged; // a choice box's observer
        std::function<void()> refreshInputTableView;              // the delayed reload
        // The name of the input source ID that no enabled source has. Empty: such a rule shows
        // the "-" of no rule.
        std::function<std::string(const std::string& id)> nameOfUnavailableSource;
        // Whether a rule's ID names the catalogue's SOURCEID (an input-method framework's entry
        // for a layout). Empty: only the same ID does.
        std::function<bool(const std::string& id, const std::string& sourceID)> isSameSource;
    };

    // After the name of a rule's input source that is not enabled now.
    static constexpr const char* kUnavailableMark = " (missing)";

    static constexpr Rect kIconFrame{{15, 1}, {20, 20}};
    static constexpr Rect kNameFrame{{0, 0}, {200, 20}};
    static constexpr Rect kChoiceFrame{{0, 0}, {100, 25}};
    static constexpr Milliseconds kRefreshDelay{100};

    RuleTable(EditorLists& lists, Settings& settings, Workspace& workspace, ViewFactory& views,
              RunLoop& runLoop, Hooks hooks)
        : lists_(lists), settings_(settings), workspace_(workspace), views_(views),
          runLoop_(runLoop), hooks_(std::move(hooks)) {}

    // The cell of COLUMN for ROW; nullptr for another column, a row past the list, or when
    // the desktop makes no such views.
    std::shared_ptr<View> inputSourceCell(const std::string& column, std::int64_t row);
    // The user chose an item in BOX: "-" clears the row's rule, a name sets the first
    // catalogue entry of that name (then the table reloads 0.1 s later).
    void inputSelectionChanged(ComboBox& box);
    // A two-state control of row TAG changed to STATE.
    void onEnglishSymbolChanged(std::int64_t tag, std::int64_t state, TableView* ruleTable);

  private:
    // The bundle identifier of ROW; nullptr when there is no such row.
    const std::string* applicationAt(std::int64_t row) const;
    std::shared_ptr<View> iconCell(const std::optional<std::string>& path);
    std::shared_ptr<View> nameCell(const std::optional<std::string>& path);
    std::shared_ptr<View> choiceCell(const std::string& bundle, std::int64_t row);
    // The name the choice box of BUNDLE shows: its rule's input source, "-" without one. A
    // source that is not enabled now shows by its name and the mark when the hook names it,
    // else as "-". Only the store is read: showing a rule never changes it.
    std::string chosenName(const std::string& bundle) const;

    EditorLists& lists_;
    Settings& settings_;
    Workspace& workspace_;
    ViewFactory& views_;
    RunLoop& runLoop_;
    Hooks hooks_;
};

} // namespace velmora
