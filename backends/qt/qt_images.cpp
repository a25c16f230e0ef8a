// SPDX-License-Identifier: MIT
#include "qt_images.h"

#include "layout_badge.h"
#include "named_images.h"
#include "theme_icons.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QUrl>

#include <cmath>
#include <cstring>

namespace velmora::qt {

namespace {

const QtImage* asQtImage(const Image& image) {
    return dynamic_cast<const QtImage*>(&image);
}

bool isSvgName(const QString& name) {
    return name.endsWith(".svg", Qt::CaseInsensitive) ||
           name.endsWith(".svgz", Qt::CaseInsensitive);
}

// Desktop files often give an icon name with its file's suffix ("foo.png"), which the icon
// theme lookup does not expect.
QString withoutImageSuffix(QString name) {
    for (const char* suffix : {".png", ".svg", ".svgz", ".xpm"})
        if (name.endsWith(suffix, Qt::CaseInsensitive))
            return name.chopped(static_cast<int>(std::strlen(suffix)));
    return name;
}

} // namespace

QtImages::QtImages(std::function<void(const std::string&)> log) {
    if (log && !qtReadsSvg())
        log("Qt cannot read SVG images here (its SVG plugins are not installed: Debian's "
            "libqt6svg6); icons given as SVG are not shown");
}

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
    QImage image = themeIconImage(withoutImageSuffix(QString::fromStdString(iconRef)), kIconPixels,
                                  kMaxImageFileBytes, kMaxSvgFileBytes);
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
    // Never a pipe or a device that would not end, nor a file that takes long to read.
    const QFileInfo file(path);
    const bool svg = isSvgName(path);
    if (!file.isFile() || file.size() > (svg ? kMaxSvgFileBytes : kMaxImageFileBytes))
        return nullptr;
    QImageReader reader(path);
    if (svg) { // drawn at the size icons are shown at, not at the size the file states
        QSize size = reader.size();
        if (size.isValid()) {
            size.scale(kIconPixels, kIconPixels, Qt::KeepAspectRatio);
            reader.setScaledSize(size);
        }
    }
    QImage image = reader.read();
    if (image.isNull())
        return nullptr;
    return std::make_shared<QtImage>(std::move(image));
}

ImagePtr QtImages::imageWithARGBPixels(std::uint32_t width, std::uint32_t height,
                                       const std::vector<std::uint32_t>& argb) {
    constexpr std::uint32_t kMaxSide = 4096;
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
        argb.size() < std::size_t{width} * height)
        return nullptr;
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
    if (image.isNull())
        return nullptr;
    for (std::uint32_t y = 0; y < height; ++y)
        std::memcpy(image.scanLine(static_cast<int>(y)), argb.data() + std::size_t{y} * width,
                    std::size_t{width} * 4);
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
