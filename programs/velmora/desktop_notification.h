// SPDX-License-Identifier: MIT
#pragma once
// One notification through the desktop's notification service (org.freedesktop.Notifications
// on the session bus), as every desktop and most window-manager sessions run one (a
// notification daemon such as dunst or notify-osd).

#include <QObject>

#include <functional>
#include <string>

namespace velmora::program {

// Sends SUMMARY and BODY, and calls DELIVERED once with whether the service took them: false
// when there is no session bus, no service on it, it answers with an error or not within
// two seconds. Never waits for the answer: DELIVERED runs from CONTEXT's event loop (or at
// once when there is no bus), and not at all once CONTEXT is gone. Main thread only.
void sendDesktopNotification(const std::string& summary, const std::string& body, QObject& context,
                             std::function<void(bool delivered)> delivered);

} // namespace velmora::program
