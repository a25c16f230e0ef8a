// SPDX-License-Identifier: MIT
#pragma once
// Whether an icon is a one-colour glyph (a "template"): drawn in one colour on a transparent
// background, such an icon is shown small on a backdrop, while a coloured one (a flag) is
// shown as it is. The test compares the spread of a few colour bytes over all pixels.

#include "platform/images.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace velmora {

// The sum of the colour spreads must stay below this for a template.
inline constexpr int kTemplateSpreadLimit = 10;

// Scans HEIGHT rows of WIDTH pixels of 4 bytes, rows exactly 4 x WIDTH bytes apart, and
// examines bytes 0 .. CHANNELS-1 of each pixel (never the alpha byte 3). True when the sum of
// (maximum - minimum) over the examined bytes is below the limit.
//
// Nothing is read past PIXELS: when the buffer holds fewer than WIDTH x HEIGHT x 4 bytes the
// answer is false, since an image whose pixels cannot all be seen cannot be shown to be a
// glyph, and showing it in its own colours is the safe choice. A width or height of 0 or
// below scans nothing and is false as well. CHANNELS is clamped to 0..3.
bool templateTest(std::span<const std::uint8_t> pixels, std::int64_t width, std::int64_t height,
                  int channels);

// The template test on an image: its first decoded image's pixels, its size in points
// truncated to whole numbers. False for no image, or one that cannot be decoded.
bool canTemplate(Images& images, const Image* image, int channels);

// A new image of (WIDTH, HEIGHT) with all of IMAGE drawn into it; the aspect ratio is not
// kept. None without an image.
ImagePtr scaleImageToSize(Images& images, const ImagePtr& image, double width, double height);

} // namespace velmora
