// SPDX-License-Identifier: MIT
#include "layer_shell_indicator.h"

#include "indicator/indicator.h"
#include "qt/indicator_face.h"
#include "qt/indicator_widget.h"
#include "qt/log_categories.h"
#include "qt/qt_images.h"

namespace velmora::program {

namespace {

constexpr int kSide = qt::IndicatorWidget::kSide;
// Where the indicator waits for the first front window: in from the top-left corner, as the Qt
// indicator waits.
constexpr QPoint kStartPlace(8, 8);

class LayerIndicatorWindow final : public IndicatorWindow {
  public:
    void applyIndicatorProperties() override {}
    void setFrameOrigin(Point origin) override { origin_ = origin; }
    Point frameOrigin() const override { return origin_; }

  private:
    Point origin_;
};

class LayerIconView final : public ImageView {
  public:
    explicit LayerIconView(std::shared_ptr<LayerShellIndicator> indicator)
        : indicator_(std::move(indicator)) {}
    void setHidden(bool hidden) override { indicator_->setIconShown(!hidden); }
    bool isHidden() const override { return !indicator_->iconShown(); }
    void setImage(ImagePtr image) override {
        image_ = std::move(image);
        auto* qtImage = dynamic_cast<const qt::QtImage*>(image_.get());
        indicator_->setIcon(qtImage ? qtImage->image() : QImage());
    }
    ImagePtr image() const override { return image_; }

  private:
    std::shared_ptr<LayerShellIndicator> indicator_;
    ImagePtr image_;
};

class LayerIconBox final : public Box {
  public:
    explicit LayerIconBox(std::shared_ptr<LayerShellIndicator> indicator)
        : indicator_(std::move(indicator)) {}
    void setHidden(bool hidden) override { indicator_->setBoxShown(!hidden); }
    bool isHidden() const override { return !indicator_->boxShown(); }

  private:
    std::shared_ptr<LayerShellIndicator> indicator_;
};

} // namespace

LayerShellIndicator::LayerShellIndicator(std::unique_ptr<wayland::LayerShellOverlay> overlay)
    : overlay_(std::move(overlay)), place_(kStartPlace) {
    redraw();
}

void LayerShellIndicator::setFrontFrame(const QRect& frame) {
    // The indicator's bottom-left corner goes where the program puts it on X11.
    const int left = frame.x() + frame.width() - Indicator::kWindowInsetRight;
    const int bottom = frame.y() + frame.height() - Indicator::kWindowLiftBottom;
    place_ = QPoint(left, bottom - kSide);
    redraw();
}

IndicatorViews LayerShellIndicator::views() {
    return IndicatorViews{std::make_shared<LayerIndicatorWindow>(),
                          std::make_shared<LayerIconView>(shared_from_this()),
                          std::make_shared<LayerIconBox>(shared_from_this())};
}

void LayerShellIndicator::setIconShown(bool shown) {
    iconShown_ = shown;
    redraw();
}

void LayerShellIndicator::setBoxShown(bool shown) {
    boxShown_ = shown;
    redraw();
}

void LayerShellIndicator::setIcon(QImage icon) {
    icon_ = std::move(icon);
    redraw();
}

void LayerShellIndicator::redraw() {
    const qt::IndicatorContent content{
        .iconShown = iconShown_, .boxShown = boxShown_, .icon = icon_};
    overlay_->show(qt::indicatorFace(QSize(kSide, kSide), content), place_);
}

IndicatorViews layerShellIndicatorViews(const std::function<void(const std::string&)>& note,
                                        std::optional<QRect> frontFrame,
                                        const std::function<void(FrontFrameObserver)>& follow) {
    std::string error;
    auto overlay = wayland::LayerShellOverlay::connect(qt::infoLog(qt::logQt), &error);
    if (!overlay) {
        note(error + ": the floating indicator is off");
        return {};
    }
    auto indicator = std::make_shared<LayerShellIndicator>(std::move(overlay));
    if (frontFrame)
        indicator->setFrontFrame(*frontFrame);
    follow([indicator](const QRect& frame) { indicator->setFrontFrame(frame); });
    return indicator->views();
}

} // namespace velmora::program
