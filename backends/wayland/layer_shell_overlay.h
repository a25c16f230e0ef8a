// SPDX-License-Identifier: MIT
#pragma once
// A small picture kept above every window on a Wayland compositor that offers layer surfaces
// (the wlr-layer-shell protocol: sway, KWin, ...): a surface on the overlay layer, anchored at
// the output's top-left corner and placed by its margins. It never takes the keyboard, and
// its input region is empty, so every click goes through it to the window below.
//
// It has a Wayland connection of its own ($WAYLAND_DISPLAY), apart from the toolkit's. Its
// socket is read on the main thread as bytes arrive (a QSocketNotifier): no thread, no timer.
// The compositor's globals arrive after the connect; when they hold no layer shell, or when
// the compositor closes the surface or the connection, the overlay is off for good, said once.
//
// Main thread only.

#include <QImage>
#include <QPoint>

#include <functional>
#include <memory>
#include <string>

namespace velmora::wayland {

struct OverlayState;

class LayerShellOverlay {
  public:
    using Log = std::function<void(const std::string& line)>;
    // A picture is at most this many pixels wide and high; the rest is cut off.
    static constexpr int kMaxSide = 256;
    // Margins beyond any output are cut to this.
    static constexpr int kFarthest = 100000;

    // Connects to the compositor; nullptr, with the reason in ERROR, when none answers.
    static std::unique_ptr<LayerShellOverlay> connect(Log log, std::string* error);
    ~LayerShellOverlay();
    LayerShellOverlay(const LayerShellOverlay&) = delete;
    LayerShellOverlay& operator=(const LayerShellOverlay&) = delete;

    // Shows PICTURE with its top-left corner at TOPLEFT on the output. Pixels the picture
    // leaves transparent show what is below. Before the compositor is ready, the last
    // picture waits and is shown then.
    void show(const QImage& picture, QPoint topLeft);
    // False once the overlay is off for good.
    bool on() const;

  private:
    explicit LayerShellOverlay(std::unique_ptr<OverlayState> state);
    std::unique_ptr<OverlayState> state_;
};

} // namespace velmora::wayland
