#pragma once
// Windows and controls that the program makes and drives.

#include "platform/event_monitor.h"
#include "platform/images.h"

#include <memory>

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

class ImageView {
  public:
    ImageView() = default;
    ImageView(const ImageView&) = delete;
    ImageView& operator=(const ImageView&) = delete;
    virtual ~ImageView() = default;

    virtual void setHidden(bool hidden) = 0;
    virtual bool isHidden() const = 0;
    // nullptr shows nothing.
    virtual void setImage(ImagePtr image) = 0;
    virtual ImagePtr image() const = 0;
};

class Box {
  public:
    Box() = default;
    Box(const Box&) = delete;
    Box& operator=(const Box&) = delete;
    virtual ~Box() = default;

    virtual void setHidden(bool hidden) = 0;
    virtual bool isHidden() const = 0;
};

// The indicator window with its two views, as the layout makes them.
struct IndicatorViews {
    std::shared_ptr<IndicatorWindow> window;
    std::shared_ptr<ImageView> iconView; // dragging the icon drags the window
    std::shared_ptr<Box> iconBox;        // backdrop shown behind template icons
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
};

} // namespace velmora
