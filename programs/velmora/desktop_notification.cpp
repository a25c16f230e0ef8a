#include "desktop_notification.h"

#include "platform/application.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace velmora::program {

namespace {

constexpr int kAnswerTimeoutMs = 2000;

} // namespace

void sendDesktopNotification(const std::string& summary, const std::string& body, QObject& context,
                             std::function<void(bool delivered)> delivered) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return delivered(false);
    QDBusMessage notify = QDBusMessage::createMethodCall("org.freedesktop.Notifications",
                                                         "/org/freedesktop/Notifications",
                                                         "org.freedesktop.Notifications", "Notify");
    // The icon and the desktop entry let the service show whose notification it is.
    const QVariantMap hints{{"desktop-entry", QString(kOwnBundleIdentifier)}};
    notify << QString(kOwnDisplayName) << 0u << QString(kOwnBundleIdentifier)
           << QString::fromStdString(summary) << QString::fromStdString(body) << QStringList()
           << hints << -1; // the service's own timeout
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify, kAnswerTimeoutMs), &context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &context,
                     [watcher, delivered = std::move(delivered)] {
                         watcher->deleteLater();
                         delivered(!watcher->isError());
                     });
}

} // namespace velmora::program
