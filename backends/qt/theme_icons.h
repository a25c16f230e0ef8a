// SPDX-License-Identifier: MIT
#pragma once
// Icons by name from the user's icon theme, through Qt's own lookup (QIcon::fromTheme): the
// theme Qt's platform names (else the one GTK's settings name), hicolor after it, then loose
// image files in the pixmaps folders of the XDG data folders. SVG, PNG and XPM are read, SVG
// when Qt's SVG plugins are installed.

#include <QImage>
#include <QString>

namespace velmora::qt {

// The icon NAME drawn at PIXELS x PIXELS; a null image when no theme has it, or when a file of
// that name in the application folders of the two themes ("48x48/apps") or in the pixmaps
// folders is larger than MAXBYTES (an SVG: MAXSVGBYTES), which Qt would read whole on the main
// thread. Main thread; needs a QGuiApplication.
QImage themeIconImage(const QString& name, int pixels, qint64 maxBytes, qint64 maxSvgBytes);

// Whether Qt reads SVG images here.
bool qtReadsSvg();

} // namespace velmora::qt
