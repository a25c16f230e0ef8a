// SPDX-License-Identifier: MIT
#pragma once
// The program's named images, drawn here rather than shipped as files: all are one-colour
// glyphs, black on a transparent ground, so that they pass the template test and can be
// tinted to the colour of the place they are shown in.
//
//   "menuIcon"  the status item: a keyboard, 22 x 22
//   "close"     the expand button while the shortcut section is closed: a chevron down, 16 x 16
//   "open"      the same while it is open: a chevron up, 16 x 16

#include <QColor>
#include <QImage>

#include <string_view>

namespace velmora::qt {

// The image called NAME; a null image for a name the program has no image for.
QImage drawNamedImage(std::string_view name);

// IMAGE with every pixel in COLOUR, its alpha kept: how a one-colour glyph is shown on a
// ground whose colour the desktop chooses.
QImage tintedGlyph(const QImage& image, const QColor& colour);

} // namespace velmora::qt
