// SPDX-License-Identifier: MIT
#pragma once
// The indicator's window and its two views (the icon and the backdrop box behind glyphs) on
// one IndicatorWidget, which draws them and is shaped to what it draws.

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
    // Shown at its own size, centred; scaled down, in proportion, only when it does not fit.
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

// The window with its views, both hidden, shown at once. Needs a QApplication.
IndicatorViews makeQtIndicatorViews();

} // namespace velmora::qt
