// SPDX-License-Identifier: MIT
#include "theme_icons.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QSettings>
#include <QStandardPaths>

#include <map>

namespace velmora::qt {

namespace {

constexpr const char* kFallbackTheme = "hicolor";

// Without a desktop's platform theme Qt knows no theme but hicolor; a user of a bare window
// manager names theirs in GTK's settings.
QString gtkIconTheme() {
    const QString file =
        QStandardPaths::locate(QStandardPaths::GenericConfigLocation, "gtk-3.0/settings.ini");
    if (file.isEmpty() || QFileInfo(file).size() > 64 * 1024)
        return {};
    QSettings settings(file, QSettings::IniFormat);
    return settings.value("Settings/gtk-icon-theme-name").toString();
}

// Once: the theme, the hicolor fallback, and the pixmaps folders for loose files.
void prepareLookup() {
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    // Qt looks in no theme at all while it knows none (its offscreen platform, say).
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == kFallbackTheme) {
        const QString gtk = gtkIconTheme();
        QIcon::setThemeName(gtk.isEmpty() ? QString(kFallbackTheme) : gtk);
    }
    QIcon::setFallbackThemeName(kFallbackTheme);
    QStringList paths = QIcon::themeSearchPaths();
    QStringList loose = QIcon::fallbackSearchPaths();
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        if (!paths.contains(data + "/icons"))
            paths.append(data + "/icons");
        if (!loose.contains(data + "/pixmaps"))
            loose.append(data + "/pixmaps");
    }
    QIcon::setThemeSearchPaths(paths);
    QIcon::setFallbackSearchPaths(loose);
}

// The folders of a theme folder that hold application icons: its children and theirs named
// "apps" or "applications" ("48x48/apps", "scalable/apps"). Read once per theme folder.
const QStringList& applicationIconFolders(const QString& themeFolder) {
    static std::map<QString, QStringList> known;
    auto it = known.find(themeFolder);
    if (it != known.end())
        return it->second;
    auto isApplications = [](const QString& name) {
        return name == "apps" || name == "applications";
    };
    QStringList folders;
    const auto kind = QDir::Dirs | QDir::NoDotAndDotDot;
    for (const QString& child : QDir(themeFolder).entryList(kind)) {
        const QString path = themeFolder + '/' + child;
        if (isApplications(child))
            folders.append(path);
        for (const QString& grandchild : QDir(path).entryList(kind))
            if (isApplications(grandchild))
                folders.append(path + '/' + grandchild);
    }
    return known.emplace(themeFolder, std::move(folders)).first->second;
}

bool tooLarge(const QString& folder, const QString& name, qint64 maxBytes, qint64 maxSvgBytes) {
    for (const char* suffix : {".png", ".xpm", ".svg", ".svgz"}) {
        const QFileInfo file(folder + '/' + name + suffix);
        if (file.exists() &&
            (!file.isFile() || file.size() > (suffix[1] == 's' ? maxSvgBytes : maxBytes)))
            return true;
    }
    return false;
}

// Whether a file that Qt's lookup may read for NAME as an application's icon is too large (or
// no regular file).
bool anyFileTooLarge(const QString& name, qint64 maxBytes, qint64 maxSvgBytes) {
    QStringList themes{QIcon::themeName(), QIcon::fallbackThemeName()};
    themes.removeAll(QString());
    themes.removeDuplicates();
    for (const QString& base : QIcon::themeSearchPaths())
        for (const QString& theme : themes)
            for (const QString& folder : applicationIconFolders(base + '/' + theme))
                if (tooLarge(folder, name, maxBytes, maxSvgBytes))
                    return true;
    for (const QString& folder : QIcon::fallbackSearchPaths())
        if (tooLarge(folder, name, maxBytes, maxSvgBytes))
            return true;
    return false;
}

} // namespace

QImage themeIconImage(const QString& name, int pixels, qint64 maxBytes, qint64 maxSvgBytes) {
    // Names are file names without a folder; a path would reach outside the themes.
    if (name.isEmpty() || name.contains('/') || name.startsWith('.'))
        return {};
    prepareLookup();
    if (anyFileTooLarge(name, maxBytes, maxSvgBytes))
        return {};
    const QIcon icon = QIcon::fromTheme(name);
    if (icon.isNull())
        return {};
    return icon.pixmap(pixels, pixels).toImage();
}

bool qtReadsSvg() {
    return QImageReader::supportedImageFormats().contains("svg");
}

} // namespace velmora::qt
