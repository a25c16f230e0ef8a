#include "qt_images.h"

#include "layout_badge.h"
#include "named_images.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QUrl>

#include <cmath>
#include <cstring>

namespace velmora::qt {

namespace {

const QtImage* asQtImage(const Image& image) {
    return dynamic_cast<const QtImage*>(&image);
}

} // namespace

Size QtImage::size() const {
    QSizeF points = image_.deviceIndependentSize();
    return Size{points.width(), points.height()};
}

ImagePtr QtImages::imageWithIconRef(const std::string& iconRef) {
    // Fonts and icon themes both need the GUI application.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    if (iconRef.starts_with(kLayoutBadgeIconRefPrefix))
        return badgeImage(iconRef);
    QIcon icon = QIcon::fromTheme(QString::fromStdString(iconRef));
    if (icon.isNull())
        return nullptr;
    QImage image = icon.pixmap(kIconPixels, kIconPixels).toImage();
    if (image.isNull())
        return nullptr;
    return std::make_shared<QtImage>(std::move(image));
}

ImagePtr QtImages::badgeImage(const std::string& iconRef) {
    std::optional<LayoutBadge> badge = parseLayoutBadgeRef(iconRef);
    if (!badge)
        return nullptr;
    std::string key = badge->label.toStdString() + (badge->variant ? "*" : "");
    std::lock_guard lock(badgesMutex_);
    auto kept = badges_.find(key);
    if (kept == badges_.end()) {
        if (badges_.size() >= kMaxKeptBadges)
            badges_.clear();
        kept = badges_.emplace(std::move(key), drawLayoutBadge(*badge)).first;
    }
    // Each caller gets an image of its own (the pixels are shared until written).
    return std::make_shared<QtImage>(kept->second);
}

ImagePtr QtImages::imageWithContentsOfURL(const std::string& url) {
    QString text = QString::fromStdString(url);
    QUrl parsed(text);
    QString path = parsed.isLocalFile() ? parsed.toLocalFile() : text;
    QImage image(path);
    if (image.isNull())
        return nullptr;
    return std::make_shared<QtImage>(std::move(image));
}

std::optional<std::vector<std::uint8_t>> QtImages::copyFirstImagePixelBytes(const Image& image) {
    const QtImage* qtImage = asQtImage(image);
    if (!qtImage || qtImage->image().isNull())
        return std::nullopt;
    QImage rgba = qtImage->image().convertToFormat(QImage::Format_RGBA8888);
    std::size_t rowBytes = static_cast<std::size_t>(rgba.width()) * 4;
    std::vector<std::uint8_t> bytes(rowBytes * static_cast<std::size_t>(rgba.height()));
    for (int y = 0; y < rgba.height(); ++y)
        std::memcpy(bytes.data() + rowBytes * static_cast<std::size_t>(y), rgba.constScanLine(y),
                    rowBytes);
    return bytes;
}

ImagePtr QtImages::scaledImage(const Image& source, Size size) {
    int width = static_cast<int>(std::lround(size.width));
    int height = static_cast<int>(std::lround(size.height));
    if (width <= 0 || height <= 0)
        return std::make_shared<QtImage>(QImage()); // of size zero, as asked
    QImage target(width, height, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::transparent);
    if (const QtImage* qtImage = asQtImage(source); qtImage && !qtImage->image().isNull()) {
        QPainter painter(&target);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(0, 0, width, height), qtImage->image());
    }
    return std::make_shared<QtImage>(std::move(target));
}

ImagePtr QtImages::imageNamed(const std::string& name) {
    QImage image = drawNamedImage(name);
    if (image.isNull())
        return nullptr;
    return std::make_shared<QtImage>(std::move(image));
}

} // namespace velmora::qt
