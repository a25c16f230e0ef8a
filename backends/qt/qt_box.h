// SPDX-License-Identifier: MIT
#pragma once
// Boxes as widgets. A box holds other views and draws behind them: the plain kind a light
// rounded panel, the custom kind its own corner radius, border and fill (colours of the
// system palette), a separator a line across its middle.

#include "qt_view.h"

#include "platform/views.h"

#include <QColor>
#include <QPalette>

namespace velmora::qt {

// The palette's colour that the program's named colour stands for.
QColor paletteColor(Color color, const QPalette& palette);

class BoxWidget final : public ViewWidget {
  public:
    struct Style {
        BoxStyle type = BoxStyle::Primary;
        double cornerRadius = 0;
        Color border = Color::disabledControlTextColor;
        Color fill = Color::textBackgroundColor;
    };

    void setStyle(const Style& style);
    const Style& style() const { return style_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Style style_;
};

class QtBox final : public QtView<Box> {
  public:
    QtBox() : QtView(new BoxWidget) {}
    void setBoxStyle(BoxStyle type) override;
    // Radii below zero, not numbers, or beyond half the box are drawn as the largest that fits.
    void setCornerRadius(double radius) override;
    void setBorderColor(Color color) override;
    void setFillColor(Color color) override;

  private:
    BoxWidget* box() const;
};

} // namespace velmora::qt
