// SPDX-License-Identifier: MIT
#pragma once
// What the program's KWin scripts go through: KWin's scripting service (org.kde.KWin,
// /Scripting: loadScript, start, unloadScript), the script's file in a folder private to the
// user, and KWin's unique bus name, the only caller the scripts' objects believe.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>

#include <string>

namespace velmora::kde {

inline constexpr const char* kKWinService = "org.kde.KWin";

// loadScript (FILE, PLUGIN) and unloadScript (PLUGIN).
QDBusMessage kwinLoadScriptCall(const QString& file, const QString& plugin);
QDBusMessage kwinUnloadScriptCall(const QString& plugin);
// Runs every loaded script that is not running yet. Not "run" on the loaded script's own
// object: KWin 5.27 numbers a script by how many are loaded, so after an unload the new script
// gets the number, and the object path, of one still loaded, and "run" there reaches that one.
QDBusMessage kwinStartScriptsCall();

// Writes TEXT to FILE inside FOLDER, which is created readable by the user only. False, with
// ERROR, when that fails.
bool writeKWinScript(const QString& folder, const QString& file, const QString& text,
                     std::string* error);

// Whether NAME is a unique bus name (":1.42") that a script may call.
bool isUniqueBusName(const QString& name);

// The unique name that owns org.kde.KWin on BUS; empty when none answers within TIMEOUTMS.
QString kwinOwner(QDBusConnection& bus, int timeoutMs);

} // namespace velmora::kde
