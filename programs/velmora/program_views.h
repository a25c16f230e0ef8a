#pragma once
// The views of the real agent: the reset window straight on X (it must never take the focus,
// which a toolkit window cannot promise), the rest as Qt widgets.

#include "platform/views.h"
#include "qt_indicator_views.h"
#include "x11_connection.h"
#include "x11_reset_window.h"

namespace velmora::program {

class ProgramViews final : public ViewFactory {
  public:
    explicit ProgramViews(x11::X11Connection& connection) : connection_(connection) {}

    std::shared_ptr<Window> makeResetWindow() override {
        return std::make_shared<x11::X11ResetWindow>(connection_);
    }
    IndicatorViews makeIndicatorViews() override { return qt::makeQtIndicatorViews(); }

  private:
    x11::X11Connection& connection_;
};

} // namespace velmora::program
