// SPDX-License-Identifier: MIT
// A desktop's session-bus services for the tests, the one named on the command line:
// "notifications" owns org.freedesktop.Notifications and prints each Notify call as
// "Notify<TAB>SUMMARY<TAB>BODY" on one line (its body may hold markup); "tray" owns a panel's
// org.kde.StatusNotifierWatcher (waybar's tray, Plasma's), says a host is there (Qt looks for
// IsStatusNotifierHostRegistered) and prints each item that registers as
// "RegisterStatusNotifierItem<TAB>SERVICE". Prints "ready" once the name is its own.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>

#include <cstdio>
#include <cstring>

namespace {

void print(const char* member, const QString& arguments) {
    std::printf("%s\t%s\n", member, qPrintable(arguments));
    std::fflush(stdout);
}

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
        print("Notify",
              arguments[3].toString() + '\t' + arguments[4].toString().replace('\n', ' '));
        connection.send(message.createReply(QVariant::fromValue(1u)));
        return true;
    }
};

class FakeTrayWatcher final : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override {
        return R"(<interface name="org.kde.StatusNotifierWatcher">
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/></interface>)";
    }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() == "Get") {
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(true))));
            return true;
        }
        if (message.member() != "RegisterStatusNotifierItem" || message.arguments().size() != 1)
            return false;
        // An item may give its object path only: its service is then the caller.
        const QString service = message.arguments()[0].toString();
        print("RegisterStatusNotifierItem", service.startsWith('/') ? message.service() : service);
        connection.send(message.createReply());
        return true;
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakeNotifications notifications;
    FakeTrayWatcher watcher;
    const bool tray = argc > 1 && std::strcmp(argv[1], "tray") == 0;
    if (tray ? !bus.registerVirtualObject("/StatusNotifierWatcher", &watcher) ||
                   !bus.registerService("org.kde.StatusNotifierWatcher")
             : !bus.registerVirtualObject("/org/freedesktop/Notifications", &notifications) ||
                   !bus.registerService("org.freedesktop.Notifications"))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
