// SPDX-License-Identifier: MIT
#pragma once
// The views of the real agent: the reset window straight on X (it must never take the focus,
// which a toolkit window cannot promise), the rest as Qt widgets. Without an X connection (on
// Wayland) there is no reset window, and the floating indicator is what the desktop makes of
// it (a layer surface where the compositor has them), else off: a Wayland client cannot place
// a window itself.

#include "qt/qt_views.h"
#include "x11/x11_connection.h"
#include "x11/x11_reset_window.h"

namespace velmora::program {

class ProgramViews final : public qt::QtViews {
  public:
    // CONNECTION: the X display's, or nullptr on Wayland.
    ProgramViews(x11::X11Connection* connection, std::function<void(const std::string&)> log)
        : QtViews(log), connection_(connection), log_(std::move(log)) {}

    std::shared_ptr<Window> makeResetWindow() override {
        return connection_ ? std::make_shared<x11::X11ResetWindow>(*connection_) : nullptr;
    }
    IndicatorViews makeIndicatorViews() override {
        if (connection_)
            return QtViews::makeIndicatorViews();
        if (waylandIndicator_)
            return waylandIndicator_();
        log_("the floating indicator is off on Wayland for now");
        return {};
    }
    // On Wayland: makes the indicator's views (empty when it is off).
    void setWaylandIndicator(std::function<IndicatorViews()> make) {
        waylandIndicator_ = std::move(make);
    }

  private:
    std::function<IndicatorViews()> waylandIndicator_;
    x11::X11Connection* connection_;
    std::function<void(const std::string&)> log_;
};

} // namespace velmora::program
