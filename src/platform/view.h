// SPDX-License-Identifier: MIT
#pragma once
// The common part of every view the program makes: a frame in its superview, a hidden flag,
// and the views it holds.

#include "platform/event_monitor.h"

#include <memory>
#include <vector>

namespace velmora {

class View {
  public:
    View() = default;
    View(const View&) = delete;
    View& operator=(const View&) = delete;
    virtual ~View() = default;

    virtual void setHidden(bool hidden) = 0;
    virtual bool isHidden() const = 0;
    // The frame in the superview's coordinates, origin at the bottom left as the layout has
    // it. A view that keeps no frame of its own ignores it and answers the empty rectangle.
    virtual void setFrame(Rect frame) { (void)frame; }
    virtual Rect frame() const { return {}; }
    // Adds VIEW on top of the views this one holds (a null VIEW is ignored). A view that
    // holds no others ignores it and answers an empty list.
    virtual void addSubview(std::shared_ptr<View> view) { (void)view; }
    virtual std::vector<std::shared_ptr<View>> subviews() const { return {}; }

    void setFrameOrigin(Point origin) {
        Rect f = frame();
        f.origin = origin;
        setFrame(f);
    }
    void setFrameSize(Size size) {
        Rect f = frame();
        f.size = size;
        setFrame(f);
    }
};

} // namespace velmora
