// SPDX-License-Identifier: MIT
#include "settings_file_alerts.h"

#include "desktop_notification.h"

#include <QCoreApplication>

namespace velmora::program {

void SettingsFileAlerts::show(const std::string& line) {
    // The line is the store's own (the same in the log); the summary is in the user's language.
    const std::string summary =
        QCoreApplication::translate("Velmora", "Velmora could not use its settings file")
            .toStdString();
    sendDesktopNotification(summary, line, context_, [this, summary, line](bool delivered) {
        if (!delivered)
            notice_.add(summary + ":\n" + line);
    });
}

} // namespace velmora::program
