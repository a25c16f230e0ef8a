// SPDX-License-Identifier: MIT
#pragma once
// The floating indicator on a Wayland compositor with layer surfaces: the picture the X11
// indicator window shows (qt/indicator_face.h), as a layer surface that lets clicks through,
// kept at the front window's bottom-right corner as the program keeps it on X11 (in from the
// right edge and lifted above the bottom by Indicator's insets). The front window's frame comes
// from the compositor (setFrontFrame); before one is known the indicator waits near the top-left
// corner. The program's own origins come from a window list, which a Wayland client lacks: they
// are kept and answered, the place follows the frames given here. A layer surface cannot be
// dragged; it follows the front window anyway.
//
// Frames are in the coordinates of the output at the layout's origin. Main thread only.

#include "platform/views.h"
#include "wayland/layer_shell_overlay.h"

#include <QImage>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmora::program {

class LayerShellIndicator : public std::enable_shared_from_this<LayerShellIndicator> {
  public:
    explicit LayerShellIndicator(std::unique_ptr<wayland::LayerShellOverlay> overlay);

    void setFrontFrame(const QRect& frame);
    // The window and its two views, sharing this indicator.
    IndicatorViews views();

    void setIconShown(bool shown);
    bool iconShown() const { return iconShown_; }
    void setBoxShown(bool shown);
    bool boxShown() const { return boxShown_; }
    void setIcon(QImage icon);

  private:
    void redraw();

    std::unique_ptr<wayland::LayerShellOverlay> overlay_;
    bool iconShown_ = false;
    bool boxShown_ = false;
    QImage icon_;
    QPoint place_;
};

// The indicator's views on the compositor of $WAYLAND_DISPLAY, at FRONTFRAME when one is known
// and then at each frame that FOLLOW's observer is given. Empty, with one note in NOTE, when no
// compositor answers there; a compositor without layer surfaces is said once by the overlay.
using FrontFrameObserver = std::function<void(const QRect& frame)>;
IndicatorViews layerShellIndicatorViews(const std::function<void(const std::string&)>& note,
                                        std::optional<QRect> frontFrame,
                                        const std::function<void(FrontFrameObserver)>& follow);

} // namespace velmora::program
