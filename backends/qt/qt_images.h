// SPDX-License-Identifier: MIT
#pragma once
// Images held as QImage: icons from the icon theme, image files, pixel access and redrawing.

#include "platform/images.h"

#include <QImage>

#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace velmora::qt {

class QtImage final : public Image {
  public:
    explicit QtImage(QImage image) : image_(std::move(image)) {}

    Size size() const override;
    bool isTemplate() const override { return template_; }
    void setTemplate(bool isTemplate) override { template_ = isTemplate; }

    const QImage& image() const { return image_; }

  private:
    QImage image_;
    bool template_ = false;
};

class QtImages final : public Images {
  public:
    // LOG hears, once, that Qt cannot read SVG images (its SVG plugins are not installed).
    explicit QtImages(std::function<void(const std::string&)> log = {});

    // An icon reference is an icon name ("input-keyboard"; "name.png" is taken for "name"),
    // looked up in the user's icon theme, then hicolor, then the pixmaps folders of the XDG
    // data folders (theme_icons.h), or a layout badge ("velmora-badge:us", see layout_badge.h),
    // drawn once per badge and kept; nullptr when no icon is found, its file is too large, or
    // the badge reference is malformed. Needs a QGuiApplication.
    ImagePtr imageWithIconRef(const std::string& iconRef) override;
    // URL is a local path or a file:// URL. Files larger than kMaxImageFileBytes (SVG:
    // kMaxSvgFileBytes), and what is no regular file, are not read.
    ImagePtr imageWithContentsOfURL(const std::string& url) override;
    ImagePtr imageWithARGBPixels(std::uint32_t width, std::uint32_t height,
                                 const std::vector<std::uint32_t>& argb) override;
    // RGBA, 8 bits a channel, rows packed.
    std::optional<std::vector<std::uint8_t>> copyFirstImagePixelBytes(const Image& image) override;
    ImagePtr scaledImage(const Image& source, Size size) override;
    // The program's own images, drawn here (named_images.h); nullptr for other names.
    ImagePtr imageNamed(const std::string& name) override;

    // The size icons are rendered at from the theme, and SVG files, in pixels.
    static constexpr int kIconPixels = 64;
    static constexpr qint64 kMaxImageFileBytes = 8 << 20;
    // An SVG is parsed whole on the main thread: more than this would keep it busy too long.
    static constexpr qint64 kMaxSvgFileBytes = 1 << 20;
    // Badges kept at most; a full store starts again (a desktop has a handful of layouts).
    static constexpr std::size_t kMaxKeptBadges = 32;

  private:
    ImagePtr badgeImage(const std::string& iconRef);

    std::mutex badgesMutex_;
    std::map<std::string, QImage> badges_; // by label, and "*" for a variant
};

} // namespace velmora::qt
