#include "settings_file_alerts.h"

#include "desktop_notification.h"

namespace velmora::program {

void SettingsFileAlerts::show(const std::string& line) {
    sendDesktopNotification("Velmora could not use its settings file", line, context_,
                            [this, line](bool delivered) {
                                if (!delivered)
                                    notice_.add(line);
                            });
}

} // namespace velmora::program
