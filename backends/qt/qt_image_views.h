// SPDX-License-Identifier: MIT
#pragma once
// Image views as widgets. They hold other views. An image view shows its image scaled down in
// proportion when it does not fit, centred, never scaled up; it takes no mouse events, so that
// a press on an icon in a table cell reaches the table.

#include "qt_view.h"

#include "platform/views.h"

#include <QImage>

namespace velmora::qt {

class ImageWidget final : public ViewWidget {
  public:
    ImageWidget();
    void setImage(QImage image);
    const QImage& image() const { return image_; }
    // Where the image is drawn in a widget of SIZE: proportionally down, centred.
    static QRect placement(QSize size, QSize image);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
};

class QtImageView final : public QtView<ImageView> {
  public:
    QtImageView();
    // An image of another backend shows nothing but is still answered by image().
    void setImage(ImagePtr image) override;
    ImagePtr image() const override { return image_; }

  private:
    ImageWidget* imageWidget() const;
    ImagePtr image_;
};

} // namespace velmora::qt
