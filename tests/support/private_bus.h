// SPDX-License-Identifier: MIT
#pragma once
// A dbus-daemon of the test's own, and connections to it by name, closed with it: replies and
// signals travel through it as they reach the agent. And a desktop's object that answers as told.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QMap>
#include <QProcess>
#include <QStringList>

#include <mutex>

namespace velmora::test_support {

struct PrivateBus {
    QProcess daemon;
    QString address;
    QStringList names;
    PrivateBus() {
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        daemon.waitForReadyRead(10000);
        address = daemon.readLine().trimmed();
    }
    ~PrivateBus() {
        for (const QString& name : names)
            QDBusConnection::disconnectFromBus(name);
        daemon.kill();
        daemon.waitForFinished();
    }
    QDBusConnection connect(const char* name) {
        names.append(name);
        return QDBusConnection::connectToBus(address, name);
    }
};

// Answers each method with its entry in the replies, else with the entry "" (on whichever thread
// Qt D-Bus calls it): a list is a reply of several values; none, an error.
struct FakeBusObject final : QDBusVirtualObject {
    std::mutex mutex;
    QMap<QString, QVariant> replies;
    void set(const QString& method, QVariant reply) {
        std::lock_guard lock(mutex);
        replies[method] = std::move(reply);
    }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
        std::lock_guard lock(mutex);
        const QVariant reply = replies.value(call.member(), replies.value(""));
        bus.send(!reply.isValid() ? call.createErrorReply(QDBusError::Failed, "broken")
                 : reply.typeId() == QMetaType::QVariantList ? call.createReply(reply.toList())
                                                             : call.createReply(reply));
        return true;
    }
};

} // namespace velmora::test_support
