// SPDX-License-Identifier: MIT
#pragma once
// Where the running agent tells the user that it found a bad settings file (moved aside, or
// kept because it could not be): a desktop notification when the desktop runs a notification
// service, else a notice with the popover the next time it opens. Standard error has the line
// as well. Main thread only.

#include "popover_notice.h"

#include <QObject>

#include <string>

namespace velmora::program {

class SettingsFileAlerts {
  public:
    // LINE is the store's line about the file, as on standard error.
    void show(const std::string& line);

    const PopoverNotice& popoverNotice() const { return notice_; }

  private:
    PopoverNotice notice_;
    QObject context_; // bounds the answers of the notification service
};

} // namespace velmora::program
