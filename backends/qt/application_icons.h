#pragma once
// The icons of the application chooser, read from files whose size is checked first: a
// desktop file may name a 50 MB drawing, a folder or a device, and the chooser must not stall.
// A small lookup of its own in the icon themes (the user's theme, then hicolor, then the
// pixmaps folders), in the formats desktops use (PNG, SVG, XPM). Main thread only.

#include <QIcon>
#include <QString>

#include <cstdint>

namespace velmora::qt {

// Icon files larger than this are not read.
inline constexpr std::int64_t kMaxChooserIconBytes = 2 << 20;
// Pixel images with more pixels than this are not decoded (a small PNG may unpack to
// gigabytes).
inline constexpr std::int64_t kMaxChooserIconPixels = 4096 * 4096;

// The file of the icon ICON (a desktop file's Icon: a theme name, or an absolute path); empty
// when there is none. Names with a slash that are no absolute path name nothing.
QString chooserIconFile(const QString& icon);

// The image in FILE at most PIXELS square (scaled down in proportion), as an icon; a null icon
// when FILE is no regular file of at most kMaxChooserIconBytes or cannot be decoded.
QIcon loadChooserIcon(const QString& file, int pixels);

} // namespace velmora::qt
