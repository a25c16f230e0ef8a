// SPDX-License-Identifier: MIT
#pragma once
// Images: icons of input sources and applications, their pixels, and redrawing at a size.

#include "platform/event_monitor.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class Image {
  public:
    Image() = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    virtual ~Image() = default;

    // Size in points; may be zero or negative for a broken image.
    virtual Size size() const = 0;
    virtual bool isTemplate() const = 0;
    virtual void setTemplate(bool isTemplate) = 0;
};

using ImagePtr = std::shared_ptr<Image>;

// An icon reference of this form names no stored image but a badge that the images service
// draws: "velmora-badge:LAYOUT" or "velmora-badge:LAYOUT(VARIANT)", LAYOUT and VARIANT being
// the keyboard layout's names ("velmora-badge:us", "velmora-badge:de(nodeadkeys)"). Input
// sources whose system has no icons for them carry such references; the images service shows
// the layout's short name as a one-colour glyph on a clear ground (so that it is treated as a
// template icon), marked when there is a variant.
inline constexpr const char* kLayoutBadgeIconRefPrefix = "velmora-badge:";

class Images {
  public:
    Images() = default;
    Images(const Images&) = delete;
    Images& operator=(const Images&) = delete;
    virtual ~Images() = default;

    // The image behind an input source's icon reference; nullptr when there is none.
    virtual ImagePtr imageWithIconRef(const std::string& iconRef) = 0;
    // The image in the file at URL; nullptr when it cannot be read.
    virtual ImagePtr imageWithContentsOfURL(const std::string& url) = 0;
    // The pixel bytes of the first image decoded from IMAGE's TIFF representation, rows
    // packed, 4 bytes a pixel in the image's own byte order. None when IMAGE cannot be
    // represented or decoded. The buffer may be shorter than its stated size suggests.
    virtual std::optional<std::vector<std::uint8_t>>
    copyFirstImagePixelBytes(const Image& image) = 0;
    // A new image of SIZE with all of SOURCE drawn into it (copy operation, full opacity);
    // the aspect ratio is not kept. Not flagged as a template.
    virtual ImagePtr scaledImage(const Image& source, Size size) = 0;
    // An image of WIDTH x HEIGHT pixels from ARGB, one non-premultiplied 0xAARRGGBB value a
    // pixel, row by row (as windows give their icons on X11). nullptr when ARGB holds fewer
    // values than that, a side is 0, or the desktop makes no such images.
    virtual ImagePtr imageWithARGBPixels(std::uint32_t width, std::uint32_t height,
                                         const std::vector<std::uint32_t>& argb) {
        (void)width, (void)height, (void)argb;
        return nullptr;
    }
    // The named image of the program's resources ("menuIcon"); nullptr when there is none.
    virtual ImagePtr imageNamed(const std::string& name) {
        (void)name;
        return nullptr;
    }
};

} // namespace velmora
