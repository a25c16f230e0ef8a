#pragma once
// Services that X11 does not give us yet.
//
// The system cursor's hot spot needs XFixes cursor images (libxcb-xfixes); until then it is
// unknown, which the core treats like a cursor it cannot read.

#include "platform/cursor.h"

namespace velmora::x11 {

class X11Cursor final : public SystemCursor {
  public:
    std::optional<Point> currentSystemCursorHotSpot() override { return std::nullopt; }
};

} // namespace velmora::x11
