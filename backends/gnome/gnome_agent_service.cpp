// SPDX-License-Identifier: MIT
#include "gnome_agent_service.h"

#include "gnome_shell_replies.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace velmora::gnome {

std::optional<std::vector<std::pair<std::string, std::string>>>
listingOf(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("as"))
        return std::nullopt;
    std::vector<std::pair<std::string, std::string>> lines;
    for (const QString& line : reply.arguments().constFirst().toStringList()) {
        if (lines.size() >= 4 * kMaxSources)
            break;
        const QString cut = line.left(kMaxTextCharacters);
        const qsizetype tab = cut.indexOf(u'\t');
        lines.emplace_back(cut.left(tab).toStdString(),
                           tab < 0 ? std::string() : cut.mid(tab + 1).toStdString());
    }
    return lines;
}

bool borrowAgentName(QDBusConnection& bus) {
    return bus.interface()->registerService(kAgentService,
                                            QDBusConnectionInterface::DontQueueService,
                                            QDBusConnectionInterface::AllowReplacement) ==
           QDBusConnectionInterface::ServiceRegistered;
}

GnomeAgentService::GnomeAgentService(QDBusConnection bus)
    : bus_(std::move(bus)),
      shellWatch_(kShellService, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    QObject::connect(
        &shellWatch_, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString&, const QString&, const QString& owner) { shellOwner_ = owner; });
}

GnomeAgentService::~GnomeAgentService() {
    if (owned_)
        bus_.unregisterService(kAgentService);
    bus_.unregisterObject(kAgentPath);
}

bool GnomeAgentService::start(std::string* error) {
    if (!bus_.isConnected()) {
        *error = "no session bus: " + bus_.lastError().message().toStdString();
        return false;
    }
    // Asked once, bounded; the watch follows later owners.
    QDBusMessage ask = QDBusMessage::createMethodCall(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetNameOwner");
    ask << QString::fromLatin1(kShellService);
    const QDBusMessage owner = bus_.call(ask, QDBus::Block, 2000);
    if (owner.type() == QDBusMessage::ReplyMessage && owner.signature() == QLatin1String("s"))
        shellOwner_ = owner.arguments().constFirst().toString();
    if (!bus_.registerObject(kAgentPath, this, QDBusConnection::ExportScriptableSlots)) {
        *error = std::string("could not export the agent's object ") + kAgentPath;
        return false;
    }
    // A command line holds the name for a moment while it asks the extension: taken over, as an
    // agent started at that moment would otherwise end. Another agent never lets it go.
    owned_ = bus_.interface()->registerService(kAgentService,
                                               QDBusConnectionInterface::ReplaceExistingService,
                                               QDBusConnectionInterface::DontAllowReplacement) ==
             QDBusConnectionInterface::ServiceRegistered;
    if (!owned_) {
        *error = std::string("another program owns ") + kAgentService +
                 " on the session bus, so GNOME Shell's extension answers it, not the agent";
        return false;
    }
    return true;
}

void GnomeAgentService::ShowSettings() {
    if (shellOwner_.isEmpty() || message().service() != shellOwner_) {
        sendErrorReply(QDBusError::AccessDenied,
                       QStringLiteral("only GNOME Shell may ask the agent to show its settings"));
        return;
    }
    if (show_)
        show_();
}

} // namespace velmora::gnome
