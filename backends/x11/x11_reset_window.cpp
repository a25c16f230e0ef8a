// SPDX-License-Identifier: MIT
#include "x11_reset_window.h"

namespace velmora::x11 {

X11ResetWindow::X11ResetWindow(X11Connection& connection) : connection_(connection) {
    window_ = xcb_generate_id(connection_.xcb());
    std::uint32_t values[] = {1}; // override-redirect
    xcb_create_window(connection_.xcb(), XCB_COPY_FROM_PARENT, window_, connection_.root(), -1, -1,
                      1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_OVERRIDE_REDIRECT, values);
    connection_.flush();
}

X11ResetWindow::~X11ResetWindow() {
    if (!connection_.hasError()) {
        xcb_destroy_window(connection_.xcb(), window_);
        connection_.flush();
    }
}

void X11ResetWindow::makeKeyAndOrderFront() {
    xcb_map_window(connection_.xcb(), window_);
}

void X11ResetWindow::orderOut() {
    xcb_unmap_window(connection_.xcb(), window_);
    connection_.flush();
}

} // namespace velmora::x11
