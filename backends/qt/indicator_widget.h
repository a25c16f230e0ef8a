// SPDX-License-Identifier: MIT
#pragma once
// The indicator's window: frameless, a tool window above the others that never takes the
// focus. It draws its icon (and the backdrop box behind a glyph) and nothing else: the window
// is shaped to the pixels it draws, so around them, and all of it while both views are
// hidden, it is neither seen nor in the way of clicks, with or without a compositing manager.
// It stays mapped all the time, as the program expects of the indicator. Pressing on the icon
// and moving drags the window.

#include "indicator_face.h"

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QWidget>

namespace velmora::qt {

class IndicatorWidget final : public QWidget {
  public:
    // The program places the window by its bottom-left corner: 20 below the top of the screen
    // at start, 25 in from a front window's right edge and 5 above its bottom, 22 in and down
    // from a launcher panel's top-right corner. A window of the backdrop's size, just larger
    // than a glyph's 18, is whole on screen at start and sits inside those corners.
    static constexpr int kSide = 20;

    IndicatorWidget();

    void setIconShown(bool shown);
    bool iconShown() const { return content_.iconShown; }
    void setBoxShown(bool shown);
    bool boxShown() const { return content_.boxShown; }
    // A null image shows no icon.
    void setIcon(QImage icon);

    // What the window draws, and the part of it that is there (window coordinates).
    const QImage& face() const { return face_; }
    const QRegion& shape() const { return shape_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void contentChanged();
    void applyShape();

    IndicatorContent content_;
    QImage face_;
    QRegion shape_;
    QPoint grabOffset_;
};

} // namespace velmora::qt
