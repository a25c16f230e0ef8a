// SPDX-License-Identifier: MIT
#include "indicator_face.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace velmora::qt {

namespace {

const QColor kBoxColour(255, 255, 255, 200);
constexpr qreal kBoxRadius = 6;

using Runs = std::vector<std::pair<int, int>>; // [begin, end) columns

Runs opaqueRuns(const QRgb* row, int width, int minimumAlpha) {
    Runs runs;
    int x = 0;
    while (x < width) {
        while (x < width && qAlpha(row[x]) < minimumAlpha)
            ++x;
        int begin = x;
        while (x < width && qAlpha(row[x]) >= minimumAlpha)
            ++x;
        if (x > begin)
            runs.emplace_back(begin, x);
    }
    return runs;
}

} // namespace

QRect iconPlacement(QSize area, QSize icon) {
    if (icon.isEmpty() || area.isEmpty())
        return {};
    const double scale =
        std::min({1.0, double(area.width()) / icon.width(), double(area.height()) / icon.height()});
    const int width = std::max(1, static_cast<int>(std::lround(icon.width() * scale)));
    const int height = std::max(1, static_cast<int>(std::lround(icon.height() * scale)));
    return QRect((area.width() - width) / 2, (area.height() - height) / 2, width, height);
}

QImage indicatorFace(QSize size, const IndicatorContent& content) {
    QImage face(size, QImage::Format_ARGB32_Premultiplied);
    face.fill(Qt::transparent);
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    if (content.boxShown) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(kBoxColour);
        painter.drawRoundedRect(QRectF(QPointF(0, 0), size), kBoxRadius, kBoxRadius);
    }
    if (content.iconShown && !content.icon.isNull()) {
        QRect place = iconPlacement(size, content.icon.deviceIndependentSize().toSize());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(place, content.icon);
    }
    return face;
}

QRegion opaqueRegion(const QImage& image, int minimumAlpha) {
    if (image.isNull())
        return {};
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    // One band of rectangles per run of rows with the same opaque columns, top to bottom,
    // each band left to right: the y-x banded order that QRegion takes as it is.
    std::vector<QRect> rects;
    Runs previous;
    std::size_t bandStart = 0;
    for (int y = 0; y < argb.height(); ++y) {
        Runs runs = opaqueRuns(reinterpret_cast<const QRgb*>(argb.constScanLine(y)), argb.width(),
                               minimumAlpha);
        if (y > 0 && runs == previous) {
            for (std::size_t i = bandStart; i < rects.size(); ++i)
                rects[i].setBottom(y);
            continue;
        }
        bandStart = rects.size();
        for (const auto& [begin, end] : runs)
            rects.emplace_back(begin, y, end - begin, 1);
        previous = std::move(runs);
    }
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

} // namespace velmora::qt
