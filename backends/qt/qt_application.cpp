#include "qt_application.h"

#include <QCoreApplication>

#include <cstdio>

namespace velmora::qt {

std::string QtApplicationInfo::bundlePath() {
    return QCoreApplication::applicationDirPath().toStdString();
}

void QtApplicationInfo::log(const std::string& line) {
    std::lock_guard lock(mutex_);
    std::fprintf(stderr, "velmora: %s\n", line.c_str());
    std::fflush(stderr);
}

std::optional<std::string> QtApplicationInfo::objectForInfoDictionaryKey(const std::string& key) {
    auto it = info_.find(key);
    if (it == info_.end())
        return std::nullopt;
    return it->second;
}

} // namespace velmora::qt
