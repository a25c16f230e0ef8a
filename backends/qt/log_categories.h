// SPDX-License-Identifier: MIT
#pragma once
// The program's logging categories, one per part, so that a user can turn one part's lines
// off or its debug lines on with Qt's own rules (QT_LOGGING_RULES="velmora.x11.debug=true").
// Info lines are on by default, debug lines off (and cheap then: the text is not even made).
// The program's message handler (programs/velmora/qt_messages.h) writes each line as
// "velmora: LINE" on standard error. Any thread.

#include <QLoggingCategory>

#include <functional>
#include <string>

namespace velmora::qt {

Q_DECLARE_LOGGING_CATEGORY(logAgent) // velmora.agent: the program and its core
Q_DECLARE_LOGGING_CATEGORY(logQt)    // velmora.qt: the Qt face (images, tray, URLs)
Q_DECLARE_LOGGING_CATEGORY(logX11)   // velmora.x11: windows, keyboard, cursor, hotkeys
Q_DECLARE_LOGGING_CATEGORY(logSway)  // velmora.sway: sway's windows, layouts, hotkeys
Q_DECLARE_LOGGING_CATEGORY(logKde)   // velmora.kde: KWin's windows and layouts
Q_DECLARE_LOGGING_CATEGORY(logGnome) // velmora.gnome: GNOME Shell's extension
Q_DECLARE_LOGGING_CATEGORY(logXdg)   // velmora.xdg: the autostart entry

using LogCategory = const QLoggingCategory& (*)();

// LINE as an info message of CATEGORY, when that category's info lines are on.
void logInfo(LogCategory category, const std::string& line);

// A log function for a service that takes one: its lines go to CATEGORY as info.
std::function<void(const std::string&)> infoLog(LogCategory category);

} // namespace velmora::qt
