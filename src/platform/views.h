// SPDX-License-Identifier: MIT
#pragma once
// Windows and controls that the program makes and drives.

#include "platform/controls.h"
#include "platform/event_monitor.h"
#include "platform/images.h"
#include "platform/menu.h"
#include "platform/open_panel.h"
#include "platform/popover.h"
#include "platform/status_item.h"
#include "platform/table_view.h"
#include "platform/view.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

// A plain window of the program.
class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() = default;

    virtual void makeKeyAndOrderFront() = 0;
    virtual void orderOut() = 0;
};

// The small borderless window that shows the current input source's icon.
class IndicatorWindow {
  public:
    IndicatorWindow() = default;
    IndicatorWindow(const IndicatorWindow&) = delete;
    IndicatorWindow& operator=(const IndicatorWindow&) = delete;
    virtual ~IndicatorWindow() = default;

    // Borderless, not opaque, clear background, on every desktop, above other windows
    // (level 1000), movable by dragging its background. Applied once at start-up.
    virtual void applyIndicatorProperties() = 0;
    // ORIGIN is the window's bottom-left corner, global coordinates with a bottom-left origin.
    virtual void setFrameOrigin(Point origin) = 0;
    virtual Point frameOrigin() const = 0;
};

class ImageView : public View {
  public:
    // nullptr shows nothing.
    virtual void setImage(ImagePtr image) = 0;
    virtual ImagePtr image() const = 0;
};

enum class BoxStyle { Primary = 0, Separator = 2, Custom = 4 };

// A plain box drawn around or behind other views. The drawing settings matter for custom boxes;
// a box that draws nothing of its own ignores them.
class Box : public View {
  public:
    virtual void setBoxStyle(BoxStyle type) { (void)type; }
    virtual void setCornerRadius(double radius) { (void)radius; }
    virtual void setBorderColor(Color color) { (void)color; }
    virtual void setFillColor(Color color) { (void)color; }
};

// The indicator window with its two views, as the layout makes them.
struct IndicatorViews {
    std::shared_ptr<IndicatorWindow> window;
    std::shared_ptr<ImageView> iconView; // dragging the icon drags the window
    std::shared_ptr<Box> iconBox;        // backdrop shown behind template icons
};

// The popover's content as the layout makes it: the content view and the views in it that
// the popover controller drives. The layout places them; every one is inside VIEW. A layout
// without one of them leaves it nullptr.
struct PopoverLayout {
    std::shared_ptr<View> view;
    // The rule table: columns "Icon", "Application Name", "Select Input" (kColumn... in
    // platform/table_view.h), one row per application.
    std::shared_ptr<TableView> velmoraTableView;
    // The shortcut table: one row per catalogue entry.
    std::shared_ptr<TableView> shortcutTableView;
    std::shared_ptr<Button> actionSelectionButton; // opens the settings menu
    std::shared_ptr<Button> addButton;             // adds an application
    std::shared_ptr<Button> removeButton;          // removes the selected application
    std::shared_ptr<Button> adjustSizeButton;      // expands and collapses the popover
    std::shared_ptr<View> shortcutView;            // the section holding the shortcut table
    std::shared_ptr<Box> allAppsBox;               // moves with the shortcut section
    std::shared_ptr<TextField> versionCode;        // the version label
};

class ViewFactory {
  public:
    ViewFactory() = default;
    ViewFactory(const ViewFactory&) = delete;
    ViewFactory& operator=(const ViewFactory&) = delete;
    virtual ~ViewFactory() = default;

    // The delegate's small window, shown and hidden at once after selections. It must not
    // take the keyboard focus from the user's application.
    virtual std::shared_ptr<Window> makeResetWindow() = 0;
    // The indicator window, on screen from launch on; the program never orders it out.
    virtual IndicatorViews makeIndicatorViews() = 0;

    // The views of the popover and its rule editor. A desktop without them answers nullptr
    // (and an empty layout): the program then runs without a status item and popover.

    // A new status item in the system's status bar, visible; LENGTH is its width or
    // kVariableStatusItemLength.
    virtual std::shared_ptr<StatusItem> makeStatusItem(double length) {
        (void)length;
        return nullptr;
    }
    // A new popover, closed, without content.
    virtual std::shared_ptr<Popover> makePopover() { return nullptr; }
    // The popover's content with its controls, made once per popover controller.
    virtual PopoverLayout makePopoverLayout() { return {}; }
    // Plain views for table cells, shown, with an empty frame.
    virtual std::shared_ptr<ImageView> makeImageView() { return nullptr; }
    virtual std::shared_ptr<TextField> makeTextField() { return nullptr; }
    virtual std::shared_ptr<ComboBox> makeComboBox() { return nullptr; }
    // A plain container view, a box, and a shortcut recorder, for the shortcut table's cells.
    virtual std::shared_ptr<View> makeView() { return nullptr; }
    virtual std::shared_ptr<Box> makeBox() { return nullptr; }
    virtual std::shared_ptr<TaggedShortcutRecorder> makeShortcutRecorder() { return nullptr; }
    // The settings menu with ITEMS in order, all check marks off; nullptr without menus.
    virtual std::shared_ptr<Menu> makeMenu(const std::vector<MenuItemDescription>& items) {
        (void)items;
        return nullptr;
    }
    // A new modal alert; nullptr when none can be shown.
    virtual std::shared_ptr<Alert> makeAlert() { return nullptr; }
    // A new open panel; nullptr when none can be shown.
    virtual std::shared_ptr<OpenPanel> openPanel() { return nullptr; }
    // OBSERVER runs on the main thread for every later notification NAME
    // (kPopoverWillShowNotification, kPopoverDidCloseNotification) of any popover made
    // here. A desktop without popovers posts none.
    virtual void addPopoverObserver(const std::string& name, std::function<void()> observer) {
        (void)name, (void)observer;
    }
};

} // namespace velmora
