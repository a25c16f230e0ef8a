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
    static constexpr int kSide = 32;

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
