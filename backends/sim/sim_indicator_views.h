// SPDX-License-Identifier: MIT
#pragma once
// The indicator window and its views on the simulated desktop: plain objects whose state
// show prints, each change put into the trace.

#include "platform/views.h"
#include "trace.h"

namespace velmora::sim {

// Numbers as the trace prints them: whole numbers without a fraction, else shortest decimal.
std::string formatNumber(double value);

class SimIndicatorWindow final : public IndicatorWindow {
  public:
    explicit SimIndicatorWindow(Trace& trace) : trace_(trace) {}
    void applyIndicatorProperties() override;
    void setFrameOrigin(Point origin) override;
    Point frameOrigin() const override { return origin_; }

  private:
    Trace& trace_;
    Point origin_{0, 0};
};

class SimIconView final : public ImageView {
  public:
    explicit SimIconView(Trace& trace) : trace_(trace) {}
    void setHidden(bool hidden) override;
    bool isHidden() const override { return hidden_; }
    void setImage(ImagePtr image) override;
    ImagePtr image() const override { return image_; }

  private:
    Trace& trace_;
    bool hidden_ = false;
    ImagePtr image_;
};

class SimIconBox final : public Box {
  public:
    explicit SimIconBox(Trace& trace) : trace_(trace) {}
    void setHidden(bool hidden) override;
    bool isHidden() const override { return hidden_; }

  private:
    Trace& trace_;
    bool hidden_ = false;
};

// "ICON@WxH" for an image made from a named icon, "none" without an image.
std::string describeImage(const ImagePtr& image);

} // namespace velmora::sim
