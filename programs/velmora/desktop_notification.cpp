// SPDX-License-Identifier: MIT
#include "desktop_notification.h"

#include "platform/application.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace velmora::program {

namespace {

constexpr int kAnswerTimeoutMs = 2000;

QDBusMessage serviceCall(const QString& method) {
    return QDBusMessage::createMethodCall("org.freedesktop.Notifications",
                                          "/org/freedesktop/Notifications",
                                          "org.freedesktop.Notifications", method);
}

// Calls DONE with the answer to CALL once it comes (not at all once CONTEXT is gone).
void whenAnswered(QDBusConnection& bus, const QDBusMessage& call, QObject& context,
                  std::function<void(const QDBusPendingCall&)> done) {
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kAnswerTimeoutMs), &context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &context,
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         done(*watcher);
                     });
}

} // namespace

void sendDesktopNotification(const std::string& summary, const std::string& body, QObject& context,
                             std::function<void(bool delivered)> delivered) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return delivered(false);
    // A service that reads markup in the body would take "<key>" in a message for a tag: it
    // is asked first, and gets the text escaped then.
    whenAnswered(bus, serviceCall("GetCapabilities"), context,
                 [bus, summary, body, &context,
                  delivered = std::move(delivered)](const QDBusPendingCall& answer) mutable {
                     QDBusPendingReply<QStringList> capabilities = answer;
                     if (capabilities.isError())
                         return delivered(false);
                     QString text = QString::fromStdString(body);
                     if (capabilities.value().contains("body-markup"))
                         text = text.toHtmlEscaped();
                     QDBusMessage notify = serviceCall("Notify");
                     // The icon and the desktop entry let the service show whose notification it
                     // is.
                     const QVariantMap hints{{"desktop-entry", QString(kOwnBundleIdentifier)}};
                     notify << QString(kOwnDisplayName) << 0u << QString(kOwnBundleIdentifier)
                            << QString::fromStdString(summary) << text << QStringList() << hints
                            << -1; // the service's own timeout
                     whenAnswered(
                         bus, notify, context,
                         [delivered = std::move(delivered)](const QDBusPendingCall& reply) {
                             delivered(!reply.isError());
                         });
                 });
}

} // namespace velmora::program
