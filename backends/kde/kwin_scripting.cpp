// SPDX-License-Identifier: MIT
#include "kwin_scripting.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

namespace velmora::kde {

namespace {

QDBusMessage scriptingCall(const char* method) {
    return QDBusMessage::createMethodCall(kKWinService, "/Scripting", "org.kde.kwin.Scripting",
                                          method);
}

} // namespace

QDBusMessage kwinLoadScriptCall(const QString& file, const QString& plugin) {
    QDBusMessage load = scriptingCall("loadScript");
    load << file << plugin;
    return load;
}

QDBusMessage kwinUnloadScriptCall(const QString& plugin) {
    QDBusMessage unload = scriptingCall("unloadScript");
    unload << plugin;
    return unload;
}

QDBusMessage kwinStartScriptsCall() {
    return scriptingCall("start");
}

bool writeKWinScript(const QString& folder, const QString& file, const QString& text,
                     std::string* error) {
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QSaveFile saved(file);
    if (saved.open(QIODevice::WriteOnly) && saved.write(text.toUtf8()) >= 0 && saved.commit())
        return true;
    *error = "could not write KWin's script to " + file.toStdString() + ": " +
             saved.errorString().toStdString();
    return false;
}

bool isUniqueBusName(const QString& name) {
    static const QRegularExpression unique(QStringLiteral("^:[0-9.]{1,32}$"));
    return unique.match(name).hasMatch();
}

QString kwinOwner(QDBusConnection& bus, int timeoutMs) {
    QDBusMessage ask = QDBusMessage::createMethodCall(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetNameOwner");
    ask << QString::fromLatin1(kKWinService);
    const QDBusMessage owner = bus.call(ask, QDBus::Block, timeoutMs);
    if (owner.type() != QDBusMessage::ReplyMessage || owner.arguments().size() != 1)
        return {};
    return owner.arguments().constFirst().toString();
}

} // namespace velmora::kde
