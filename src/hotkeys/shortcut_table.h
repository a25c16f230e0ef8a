// SPDX-License-Identifier: MIT
#pragma once
// The shortcut table: one row per catalogue entry with the input source's icon, its name and
// a recorder showing its stored shortcut. The table keeps nothing: every cell is made afresh
// from the catalogue and the store whenever the table asks.
//
// Main thread only.

#include "editor/editor_lists.h"
#include "engine/settings.h"
#include "platform/views.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace velmora {

// Column identifiers of the shortcut table.
inline constexpr const char* kShortcutColumnIcon = "icon";
inline constexpr const char* kShortcutColumnInput = "input";
inline constexpr const char* kShortcutColumnShortcut = "shortcut";

class ShortcutTable {
  public:
    struct Hooks {
        // The icon redrawn at a size, and the three-channel template test.
        std::function<ImagePtr(const ImagePtr& image, double width, double height)> scaleImage;
        std::function<bool(const Image* image)> canTemplate;
    };

    static constexpr Rect kContainerFrame{{0, 0}, {150, 25}};
    static constexpr Rect kIconFrame{{15, 3}, {18, 18}};
    static constexpr Rect kNameFrame{{0, 0}, {145, 20}};
    static constexpr Rect kBoxFrame{{0, 1.5}, {110, 20}};
    // Taller than the row and set below it, so the recorder's own frame stays inside the box.
    static constexpr Rect kRecorderFrame{{0, -8}, {110, 30}};
    static constexpr double kBoxCornerRadius = 4;
    // Shift, Control, Option and Command may be recorded; none is required, and a key alone
    // is allowed.
    static constexpr std::uint64_t kAllowedModifierFlags = 0x1E0000;
    static constexpr std::uint64_t kRequiredModifierFlags = 0;
    static constexpr bool kAllowsEmptyModifierFlags = true;

    // Recorders made here report to DELEGATE, which outlives them.
    ShortcutTable(const EditorLists& lists, const Settings& settings, ViewFactory& views,
                  ShortcutRecorderDelegate* delegate, Hooks hooks)
        : lists_(lists), settings_(settings), views_(views), delegate_(delegate),
          hooks_(std::move(hooks)) {}

    std::int64_t numberOfRows() const { return static_cast<std::int64_t>(lists_.catalogue.size()); }
    // A new cell for COLUMN in ROW; nullptr for another column, a row outside the catalogue,
    // or a desktop that makes no such views.
    std::shared_ptr<View> tableViewForShortcut(const std::string& column, std::int64_t row);

  private:
    void addIcon(View& container, std::size_t row);
    void addName(View& container, std::size_t row);
    void addRecorder(View& container, std::size_t row);

    const EditorLists& lists_;
    const Settings& settings_;
    ViewFactory& views_;
    ShortcutRecorderDelegate* delegate_;
    Hooks hooks_;
};

} // namespace velmora
