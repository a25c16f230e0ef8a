#include "application_icons.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>
#include <QStringList>

namespace velmora::qt {

namespace {

QString environment(const char* name) {
    return QString::fromLocal8Bit(qgetenv(name));
}

// The data folders, most important first: $XDG_DATA_HOME, then $XDG_DATA_DIRS.
QStringList dataFolders() {
    QString home = environment("XDG_DATA_HOME");
    if (home.isEmpty())
        home = QDir::home().filePath(QStringLiteral(".local/share"));
    QString dirs = environment("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    return QStringList{home} + dirs.split(u':', Qt::SkipEmptyParts);
}

const QStringList& extensions() {
    static const QStringList kinds{QStringLiteral(".png"), QStringLiteral(".svg"),
                                   QStringLiteral(".xpm")};
    return kinds;
}

// The sizes a row of about 32 pixels looks good with, best first.
const QStringList& sizeFolders() {
    static const QStringList sizes{QStringLiteral("48x48"),   QStringLiteral("scalable"),
                                   QStringLiteral("64x64"),   QStringLiteral("32x32"),
                                   QStringLiteral("128x128"), QStringLiteral("256x256"),
                                   QStringLiteral("512x512"), QStringLiteral("24x24"),
                                   QStringLiteral("22x22"),   QStringLiteral("16x16")};
    return sizes;
}

QString firstFile(const QString& stem) {
    for (const QString& extension : extensions())
        if (QFileInfo info(stem + extension); info.isFile())
            return info.filePath();
    return {};
}

} // namespace

QString chooserIconFile(const QString& icon) {
    if (icon.isEmpty())
        return {};
    if (icon.startsWith(u'/'))
        return icon;
    if (icon.contains(u'/') || icon == QStringLiteral("..") || icon.size() > 255)
        return {};
    // Some desktop files name the file, not the icon.
    QString name = icon;
    for (const QString& extension : extensions())
        if (name.endsWith(extension, Qt::CaseInsensitive))
            name.chop(extension.size());
    const QStringList folders = dataFolders();
    QStringList bases{QDir::home().filePath(QStringLiteral(".icons"))};
    for (const QString& folder : folders)
        bases << QDir(folder).filePath(QStringLiteral("icons"));
    QStringList themes;
    if (!QIcon::themeName().isEmpty() && QIcon::themeName() != QStringLiteral("hicolor"))
        themes << QIcon::themeName();
    themes << QStringLiteral("hicolor");
    for (const QString& theme : themes)
        for (const QString& base : bases) {
            const QDir themeFolder(QDir(base).filePath(theme));
            if (!themeFolder.exists())
                continue;
            for (const QString& size : sizeFolders())
                if (QString file = firstFile(themeFolder.filePath(size + "/apps/" + name));
                    !file.isEmpty())
                    return file;
        }
    for (const QString& folder : folders)
        if (QString file = firstFile(QDir(folder).filePath("pixmaps/" + name)); !file.isEmpty())
            return file;
    return {};
}

QIcon loadChooserIcon(const QString& file, int pixels) {
    const QFileInfo info(file);
    if (file.isEmpty() || !info.isFile() || info.size() > kMaxChooserIconBytes)
        return {};
    QImageReader reader(file);
    QSize size = reader.size();
    const bool drawing = reader.format() == "svg" || reader.format() == "svgz";
    if (!drawing && (!size.isValid() || static_cast<std::int64_t>(size.width()) * size.height() >
                                            kMaxChooserIconPixels))
        return {};
    if (size.isValid() && (size.width() > pixels || size.height() > pixels || drawing))
        reader.setScaledSize(size.scaled(pixels, pixels, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    return QIcon(QPixmap::fromImage(image));
}

} // namespace velmora::qt
