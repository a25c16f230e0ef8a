// SPDX-License-Identifier: MIT
#pragma once
// A dbus-daemon of the test's own, and connections to it by name, closed with it: replies and
// signals travel through it as they reach the agent.

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>

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

} // namespace velmora::test_support
