// SPDX-License-Identifier: MIT
// A notification service for the tests: owns org.freedesktop.Notifications on the session bus
// (its body may hold markup) and prints each Notify call as "Notify<TAB>SUMMARY<TAB>BODY" on
// one line. Prints "ready" once the name is its own.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>

#include <cstdio>

namespace {

class FakeNotifications final : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() == "GetCapabilities") {
            connection.send(message.createReply(QStringList{"body", "body-markup"}));
            return true;
        }
        if (message.member() != "Notify" || message.arguments().size() < 5)
            return false;
        const auto arguments = message.arguments();
        std::printf("Notify\t%s\t%s\n", qPrintable(arguments[3].toString()),
                    qPrintable(arguments[4].toString().replace('\n', ' ')));
        std::fflush(stdout);
        connection.send(message.createReply(QVariant::fromValue(1u)));
        return true;
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakeNotifications service;
    if (!bus.registerVirtualObject("/org/freedesktop/Notifications", &service) ||
        !bus.registerService("org.freedesktop.Notifications"))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
