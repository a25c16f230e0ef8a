#include "settings_file_alerts.h"

#include "desktop_notification.h"

namespace velmora::program {

void SettingsFileAlerts::show(const std::string& line) {
    static constexpr const char* kSummary = "Velmora could not use its settings file";
    sendDesktopNotification(kSummary, line, context_, [this, line](bool delivered) {
        if (!delivered)
            notice_.add(std::string(kSummary) + ":\n" + line);
    });
}

} // namespace velmora::program
