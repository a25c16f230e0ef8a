// SPDX-License-Identifier: MIT
#pragma once
// The popover's views on the simulated desktop: plain objects that keep their state for show
// and for tests; the status item, the popover, the tables and the open panel put their
// effects into the trace.

#include "platform/views.h"
#include "trace.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora::sim {

// Frame, hidden flag and subviews, kept as set.
template <class Interface> class SimView : public Interface {
  public:
    void setHidden(bool hidden) override { hidden_ = hidden; }
    bool isHidden() const override { return hidden_; }
    void setFrame(Rect frame) override { frame_ = frame; }
    Rect frame() const override { return frame_; }
    void addSubview(std::shared_ptr<View> view) override {
        if (view)
            subviews_.push_back(std::move(view));
    }
    std::vector<std::shared_ptr<View>> subviews() const override { return subviews_; }

  private:
    bool hidden_ = false;
    Rect frame_;
    std::vector<std::shared_ptr<View>> subviews_;
};

class SimPlainView final : public SimView<View> {};

class SimPlainBox final : public SimView<Box> {
  public:
    void setBoxStyle(BoxStyle type) override { boxType = type; }
    void setCornerRadius(double radius) override { cornerRadius = radius; }
    void setBorderColor(Color color) override { borderColor = color; }
    void setFillColor(Color color) override { fillColor = color; }

    BoxStyle boxType = BoxStyle::Primary;
    double cornerRadius = 0;
    std::optional<Color> borderColor;
    std::optional<Color> fillColor;
};

// The shortcut recorder: the user records a combination, clears it, or ends a recording
// without a change; each tells the delegate.
class SimShortcutRecorder final : public SimView<TaggedShortcutRecorder> {
  public:
    void setObjectValue(std::optional<PlistValue> value) override { value_ = std::move(value); }
    std::optional<PlistValue> objectValue() const override { return value_; }
    void setAllowedModifierFlags(std::uint64_t allowed, std::uint64_t required,
                                 bool allowsEmpty) override;
    void setDelegate(ShortcutRecorderDelegate* delegate) override { delegate_ = delegate; }
    void setTranslatesAutoresizingMaskIntoConstraints(bool flag) override {
        translatesAutoresizingMask = flag;
    }

    // The user presses KEYCODE with MODIFIERFLAGS while recording. Modifiers outside the
    // allowed ones are dropped; a combination without the required ones, or without any when
    // that is not allowed, is refused and the old value stays.
    void userRecords(std::int64_t keyCode, std::uint64_t modifierFlags);
    void userClears();
    void userEndsRecording();

    std::uint64_t allowedModifierFlags = ~std::uint64_t{0};
    std::uint64_t requiredModifierFlags = 0;
    bool allowsEmptyModifierFlags = true;
    bool translatesAutoresizingMask = false;
    ShortcutRecorderDelegate* delegate() const { return delegate_; }

  private:
    void endRecording();

    std::optional<PlistValue> value_;
    ShortcutRecorderDelegate* delegate_ = nullptr;
};

// A menu that pops up: it traces the pop-up with the check marks of items 0 and 2, and the
// user chooses an entry by its action.
class SimMenu final : public Menu {
  public:
    SimMenu(Trace& trace, std::vector<MenuItemDescription> items);
    std::int64_t numberOfItems() const override;
    std::string actionOfItemAtIndex(std::int64_t index) const override;
    void setStateOfItemAtIndex(std::int64_t index, std::int64_t state) override;
    std::int64_t stateOfItemAtIndex(std::int64_t index) const override;
    void setTarget(Target target) override { target_ = std::move(target); }
    void popUpMenuPositioningItem(std::optional<std::int64_t> positioningItem, Point location,
                                  View* view) override;

    // The user chooses the entry sending ACTION; false when the menu has none.
    bool choose(const std::string& action);
    const std::vector<MenuItemDescription>& items() const { return items_; }

  private:
    Trace& trace_;
    std::vector<MenuItemDescription> items_;
    std::vector<std::int64_t> states_;
    Target target_;
};

// A modal alert that the user answers at once with its first button.
class SimAlert final : public Alert {
  public:
    explicit SimAlert(Trace& trace) : trace_(trace) {}
    void setMessageText(const std::string& text) override { text_ = text; }
    void addButtonWithTitle(const std::string& title) override { buttons_.push_back(title); }
    std::int64_t runModal() override;

  private:
    Trace& trace_;
    std::string text_;
    std::vector<std::string> buttons_;
};

class SimImageView final : public SimView<ImageView> {
  public:
    void setImage(ImagePtr image) override { image_ = std::move(image); }
    ImagePtr image() const override { return image_; }

  private:
    ImagePtr image_;
};

class SimTextField final : public SimView<TextField> {
  public:
    void setStringValue(const std::string& text) override { text_ = text; }
    std::string stringValue() const override { return text_; }
    void setBezeled(bool bezeled) override { bezeled_ = bezeled; }
    void setEditable(bool editable) override { editable_ = editable; }
    void setDrawsBackground(bool draws) override { drawsBackground_ = draws; }
    void setBackgroundColor(Color color) override { clearBackground_ = color == Color::clearColor; }

    bool bezeled_ = true;
    bool editable_ = true;
    bool drawsBackground_ = true;
    bool clearBackground_ = false;

  private:
    std::string text_;
};

class SimComboBox final : public SimView<ComboBox> {
  public:
    void addItemsWithObjectValues(const std::vector<std::string>& items) override;
    std::vector<std::string> objectValues() const override { return items_; }
    void setTag(std::int64_t tag) override { tag_ = tag; }
    std::int64_t tag() const override { return tag_; }
    void setEditable(bool editable) override { editable_ = editable; }
    void setStringValue(const std::string& text) override;
    std::string stringValue() const override { return text_; }
    std::optional<std::string> objectValueOfSelectedItem() const override;
    void setSelectionDidChangeObserver(Observer observer) override;

    // The user selects the first item named ITEM; false (and nothing happens) when there is
    // no such item.
    bool userSelects(const std::string& item);
    bool editable() const { return editable_; }

  private:
    std::vector<std::string> items_;
    std::int64_t tag_ = 0;
    bool editable_ = true;
    std::string text_;
    std::optional<std::size_t> selected_;
    Observer observer_;
};

class SimButton final : public SimView<Button> {
  public:
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const override { return enabled_; }
    void setImageNamed(const std::string& name) override { imageName_ = name; }
    std::string imageName() const override { return imageName_; }
    void setAction(Action action) override { action_ = std::move(action); }
    void setTag(std::int64_t tag) override { tag_ = tag; }
    std::int64_t tag() const override { return tag_; }
    void setState(std::int64_t state) override { state_ = state; }
    std::int64_t state() const override { return state_; }

    // A click: runs the action of an enabled button; a disabled one ignores it.
    void performClick();

  private:
    bool enabled_ = true;
    std::string imageName_;
    Action action_;
    std::int64_t tag_ = 0;
    std::int64_t state_ = 0;
};

class SimPasteboard final : public Pasteboard {
  public:
    void declareTypes(const std::vector<std::string>& types) override;
    bool setDataForType(const Data& data, const std::string& type) override;
    std::optional<Data> dataForType(const std::string& type) const override;

  private:
    std::map<std::string, std::optional<Data>> entries_;
};

// A table that builds a cell only when asked for it, as a real table builds the visible ones.
class SimTableView final : public SimView<TableView> {
  public:
    // NAME is what the trace calls it ("reload NAME").
    SimTableView(Trace& trace, std::string name, std::vector<std::string> columns)
        : trace_(trace), name_(std::move(name)), columns_(std::move(columns)) {}

    std::vector<std::string> columnIdentifiers() const override { return columns_; }
    void setDataSource(TableViewDataSource* dataSource) override;
    void reloadData() override;
    std::int64_t selectedRow() const override;
    void selectRowIndexesByExtendingSelection(const IndexSet& rows, bool extend) override;
    void deselectAll() override { selection_.clear(); }
    void setDraggingSourceOperationMaskForLocal(DragOperation mask, bool local) override;
    void registerForDraggedTypes(const std::vector<std::string>& types) override;

    // The row count as the data source gives it (0 without one).
    std::int64_t numberOfRows();
    // The cell of COLUMN in ROW, made by the data source at the first request after a reload
    // and kept until the next; nullptr for a row or column the table does not have.
    std::shared_ptr<View> viewAtColumnRow(const std::string& column, std::int64_t row);

    // Drags ROW and drops it at TARGET with OPERATION, validation first, as the user would.
    // The data source writes the pasteboard; a refused write or validation ends the drag.
    void dragRow(std::int64_t row, std::int64_t target, TableViewDropOperation operation);
    // Drops data from elsewhere (another program) at TARGET.
    void dropForeign(const std::string& text, std::int64_t target,
                     TableViewDropOperation operation);

    DragOperation localMask = DragOperations::Every;
    DragOperation externalMask = DragOperations::Copy;
    std::vector<std::string> draggedTypes;

  private:
    void drop(const TableView* source, Pasteboard& pasteboard, std::int64_t target,
              TableViewDropOperation operation);

    Trace& trace_;
    std::string name_;
    std::vector<std::string> columns_;
    TableViewDataSource* dataSource_ = nullptr;
    IndexSet selection_;
    std::map<std::pair<std::string, std::int64_t>, std::shared_ptr<View>> cells_;
};

class SimStatusItem final : public StatusItem {
  public:
    explicit SimStatusItem(Trace& trace);
    void setHighlightMode(bool highlight) override { highlight_ = highlight; }
    void setImage(ImagePtr image) override { image_ = std::move(image); }
    std::shared_ptr<Button> button() override { return button_; }
    bool isVisible() const override { return visible_; }
    void setVisible(bool visible) override;

    // A click on the item: its button's action, while the item is on the menu bar.
    void click();
    ImagePtr image() const { return image_; }
    bool highlightMode() const { return highlight_; }

  private:
    Trace& trace_;
    std::shared_ptr<SimButton> button_ = std::make_shared<SimButton>();
    ImagePtr image_;
    bool highlight_ = false;
    bool visible_ = true;
};

class SimPopover final : public Popover {
  public:
    using Post = std::function<void(const std::string& name)>;
    SimPopover(Trace& trace, Post post) : trace_(trace), post_(std::move(post)) {}

    void setBehavior(PopoverBehavior behavior) override { behavior_ = behavior; }
    void setContentView(std::shared_ptr<View> view) override;
    Size contentSize() const override { return size_; }
    void setContentSize(Size size) override;
    void showRelativeToRectOfViewPreferredEdge(Rect rect, View* view,
                                               RectEdge preferredEdge) override;
    bool isShown() const override { return shown_; }
    void performClose() override;

    // The user works elsewhere: a shown transient popover closes.
    void dismiss();
    PopoverBehavior behavior() const { return behavior_; }
    std::shared_ptr<View> contentView() const { return content_; }

  private:
    Trace& trace_;
    Post post_;
    PopoverBehavior behavior_ = PopoverBehavior::ApplicationDefined;
    std::shared_ptr<View> content_;
    Size size_;
    bool shown_ = false;
};

class SimOpenPanel final : public OpenPanel, public std::enable_shared_from_this<SimOpenPanel> {
  public:
    using Begun = std::function<void(SimOpenPanel& panel)>;
    SimOpenPanel(Trace& trace, Begun begun) : trace_(trace), begun_(std::move(begun)) {}

    void setCanCreateDirectories(bool can) override { canCreateDirectories = can; }
    void setCanChooseDirectories(bool can) override { canChooseDirectories = can; }
    void setCanChooseFiles(bool can) override { canChooseFiles = can; }
    void setAllowsMultipleSelection(bool allows) override { allowsMultipleSelection = allows; }
    void setDirectoryURL(const std::string& path) override { directory = path; }
    void beginWithCompletionHandler(CompletionHandler handler) override;
    std::vector<std::string> URLs() const override { return urls_; }

    // The user's answer: PATH chosen (OK), or none (cancelled). Runs the completion handler
    // once; false when the panel was not begun or has already been answered.
    bool answer(const std::optional<std::string>& path);

    bool canCreateDirectories = true;
    bool canChooseDirectories = false;
    bool canChooseFiles = true;
    bool allowsMultipleSelection = false;
    std::string directory;

  private:
    Trace& trace_;
    Begun begun_;
    CompletionHandler handler_;
    std::vector<std::string> urls_;
};

} // namespace velmora::sim
