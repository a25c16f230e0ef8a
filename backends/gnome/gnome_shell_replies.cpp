// SPDX-License-Identifier: MIT
#include "gnome_shell_replies.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QRegularExpression>

#include <cmath>

namespace velmora::gnome {

namespace {

std::optional<std::string> usableText(const QString& text) {
    if (text.isEmpty() || text.size() > kMaxTextCharacters ||
        text.contains(QChar::ReplacementCharacter))
        return std::nullopt;
    return text.toStdString();
}

// GNOME's xkb sources are "LAYOUT" or "LAYOUT+VARIANT"; IBus's engine names hold no spaces.
const QRegularExpression& xkbName() {
    static const QRegularExpression name(
        QStringLiteral("^([A-Za-z0-9_-]{1,32})(\\+([A-Za-z0-9_-]{1,64}))?$"));
    return name;
}

const QRegularExpression& engineName() {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_.:@+#=-]{1,128}$"));
    return name;
}

} // namespace

std::optional<std::string> sourceIdOf(const QString& type, const QString& id) {
    if (type == QLatin1String("xkb")) {
        const QRegularExpressionMatch match = xkbName().match(id);
        if (!match.hasMatch())
            return std::nullopt;
        const QString variant = match.captured(3);
        return "xkb:" + match.captured(1).toStdString() +
               (variant.isEmpty() ? std::string() : "(" + variant.toStdString() + ")");
    }
    if (type == QLatin1String("ibus") && engineName().match(id).hasMatch())
        return "ibus:" + id.toStdString();
    return std::nullopt;
}

std::optional<GnomeFocus> focusOf(const QDBusMessage& message) {
    if (message.signature() != QLatin1String("ssu"))
        return std::nullopt;
    const QList<QVariant> arguments = message.arguments();
    GnomeFocus focus;
    QString desktopId = arguments[0].toString();
    if (desktopId.endsWith(QLatin1String(".desktop")))
        desktopId.chop(8);
    focus.desktopId = usableText(desktopId);
    focus.wmClass = usableText(arguments[1].toString());
    // A pid beyond what the kernel hands out is no process.
    const uint pid = arguments[2].toUInt();
    focus.pid = pid <= 4194304 ? pid : 0;
    return focus;
}

std::optional<std::vector<GnomeSource>> sourcesOf(const QDBusMessage& reply, int* skipped) {
    *skipped = 0;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("a(sss)"))
        return std::nullopt;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    std::vector<GnomeSource> sources;
    list.beginArray();
    while (!list.atEnd()) {
        QString type, id, name;
        list.beginStructure();
        list >> type >> id >> name;
        list.endStructure();
        const std::optional<std::string> sourceId = sourceIdOf(type, id);
        if (!sourceId) {
            ++*skipped;
            continue;
        }
        if (sources.size() >= kMaxSources)
            continue;
        sources.push_back({type, id, *sourceId, usableText(name).value_or(*sourceId)});
    }
    list.endArray();
    return sources;
}

std::optional<std::pair<QString, QString>> currentOf(const QDBusMessage& message) {
    if (message.signature() != QLatin1String("ss"))
        return std::nullopt;
    const QList<QVariant> arguments = message.arguments();
    return std::pair{arguments[0].toString().left(kMaxTextCharacters),
                     arguments[1].toString().left(kMaxTextCharacters)};
}

ExtensionState extensionStateOf(const QVariantMap& info) {
    if (info.isEmpty())
        return ExtensionState::NotInstalled; // GNOME answers an unknown UUID with nothing
    const QVariant state = info.value(QStringLiteral("state"));
    if (state.typeId() != QMetaType::Double || !std::isfinite(state.toDouble()))
        return ExtensionState::Unknown;
    // GNOME's numbers: 1 enabled, 3 error, 4 out of date, 99 uninstalled; the rest (disabled,
    // initialized, and the enabling and disabling of later versions) are not running now.
    switch (static_cast<int>(std::clamp(state.toDouble(), -1.0, 1000.0))) {
    case 1:
        return ExtensionState::Enabled;
    case 3:
    case 4:
        return ExtensionState::Failed;
    case 99:
        return ExtensionState::NotInstalled;
    default:
        return ExtensionState::Disabled;
    }
}

ExtensionState extensionStateOf(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("a{sv}"))
        return ExtensionState::Unknown;
    return extensionStateOf(qdbus_cast<QVariantMap>(reply.arguments().constFirst()));
}

const char* describe(ExtensionState state) {
    switch (state) {
    case ExtensionState::Enabled:
        return "extension enabled";
    case ExtensionState::Disabled:
        return "extension disabled";
    case ExtensionState::NotInstalled:
        return "extension not installed";
    case ExtensionState::Failed:
        return "extension failed (see \"gnome-extensions info velmora@quorvant.com\")";
    case ExtensionState::Unknown:
        break;
    }
    return "extension state unknown";
}

std::string enableAdvice() {
    return std::string("enable GNOME Shell's extension with \"gnome-extensions enable ") +
           kExtensionUuid +
           "\"; GNOME on Wayland loads a newly installed extension only after a new login";
}

} // namespace velmora::gnome
