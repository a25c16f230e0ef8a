// SPDX-License-Identifier: MIT
#pragma once
// The views of the real agent: the reset window straight on X (it must never take the focus,
// which a toolkit window cannot promise), the rest as Qt widgets.

#include "qt/qt_views.h"
#include "x11/x11_connection.h"
#include "x11/x11_reset_window.h"

namespace velmora::program {

class ProgramViews final : public qt::QtViews {
  public:
    ProgramViews(x11::X11Connection& connection, std::function<void(const std::string&)> log)
        : QtViews(std::move(log)), connection_(connection) {}

    std::shared_ptr<Window> makeResetWindow() override {
        return std::make_shared<x11::X11ResetWindow>(connection_);
    }

  private:
    x11::X11Connection& connection_;
};

} // namespace velmora::program
