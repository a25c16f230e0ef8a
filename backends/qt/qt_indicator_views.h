#pragma once
// The indicator: a small frameless window that stays above the others, never takes the focus
// and shows one image, with a backdrop box behind it. Dragging anywhere on it moves it.

#include "platform/views.h"

#include <memory>

namespace velmora::qt {

class IndicatorWidget;

// The three views of IndicatorViews share one widget.
class QtIndicatorWindow final : public IndicatorWindow {
  public:
    explicit QtIndicatorWindow(std::shared_ptr<IndicatorWidget> widget)
        : widget_(std::move(widget)) {}
    void applyIndicatorProperties() override;
    void setFrameOrigin(Point origin) override;
    Point frameOrigin() const override;

  private:
    std::shared_ptr<IndicatorWidget> widget_;
};

class QtIconView final : public ImageView {
  public:
    explicit QtIconView(std::shared_ptr<IndicatorWidget> widget) : widget_(std::move(widget)) {}
    void setHidden(bool hidden) override;
    bool isHidden() const override;
    void setImage(ImagePtr image) override;
    ImagePtr image() const override { return image_; }

  private:
    std::shared_ptr<IndicatorWidget> widget_;
    ImagePtr image_;
};

class QtIconBox final : public Box {
  public:
    explicit QtIconBox(std::shared_ptr<IndicatorWidget> widget) : widget_(std::move(widget)) {}
    void setHidden(bool hidden) override;
    bool isHidden() const override;

  private:
    std::shared_ptr<IndicatorWidget> widget_;
};

// The window with its views, shown at once. Needs a QApplication.
IndicatorViews makeQtIndicatorViews();

} // namespace velmora::qt
