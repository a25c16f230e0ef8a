// SPDX-License-Identifier: MIT
#pragma once
// The delegate's window for the refresh after a selection: a 1x1 override-redirect window that
// is mapped and unmapped at once. It never takes the input focus: the window manager does not
// see it, and we never ask for the focus. Taking the focus would make the workspace report an
// activation of this program and a second one of the user's application when it returned,
// and would disturb what the user was typing.

#include "platform/views.h"
#include "x11_connection.h"

namespace velmora::x11 {

class X11ResetWindow final : public Window {
  public:
    explicit X11ResetWindow(X11Connection& connection);
    ~X11ResetWindow() override;

    void makeKeyAndOrderFront() override;
    void orderOut() override;

  private:
    X11Connection& connection_;
    xcb_window_t window_ = XCB_WINDOW_NONE;
};

} // namespace velmora::x11
