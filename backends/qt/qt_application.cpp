// SPDX-License-Identifier: MIT
#include "qt_application.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace velmora::qt {

std::string QtApplicationInfo::bundlePath() {
    return QCoreApplication::applicationDirPath().toStdString();
}

std::string QtApplicationInfo::bundleURL() {
    QString path = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (path.isEmpty())
        path = QCoreApplication::applicationFilePath();
    return path.toStdString();
}

void QtApplicationInfo::log(const std::string& line) {
    logInfo(category_, line);
}

std::optional<std::string> QtApplicationInfo::objectForInfoDictionaryKey(const std::string& key) {
    auto it = info_.find(key);
    if (it == info_.end())
        return std::nullopt;
    return it->second;
}

std::string QtApplicationInfo::localizedStringForKeyValueTable(const std::string& key,
                                                               const std::string& value,
                                                               const std::string& table) {
    if (table.empty() || table == "Localizable")
        if (auto text = texts_.find(key); text != texts_.end())
            return text->second;
    return Application::localizedStringForKeyValueTable(key, value, table);
}

void QtApplicationInfo::terminate() {
    if (QCoreApplication* application = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            application, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

} // namespace velmora::qt
