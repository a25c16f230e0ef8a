// SPDX-License-Identifier: MIT
#include "log_categories.h"

namespace velmora::qt {

Q_LOGGING_CATEGORY(logAgent, "velmora.agent", QtInfoMsg)
Q_LOGGING_CATEGORY(logQt, "velmora.qt", QtInfoMsg)
Q_LOGGING_CATEGORY(logX11, "velmora.x11", QtInfoMsg)
Q_LOGGING_CATEGORY(logSway, "velmora.sway", QtInfoMsg)
Q_LOGGING_CATEGORY(logKde, "velmora.kde", QtInfoMsg)
Q_LOGGING_CATEGORY(logGnome, "velmora.gnome", QtInfoMsg)
Q_LOGGING_CATEGORY(logXdg, "velmora.xdg", QtInfoMsg)

void logInfo(LogCategory category, const std::string& line) {
    // "%s" keeps the line as it is: no quotes, no spaces added, "%" not taken as a format.
    qCInfo(category, "%s", line.c_str());
}

std::function<void(const std::string&)> infoLog(LogCategory category) {
    return [category](const std::string& line) { logInfo(category, line); };
}

} // namespace velmora::qt
