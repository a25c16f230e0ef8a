// SPDX-License-Identifier: MIT
// A StatusNotifierItem watcher for the tests, as a panel's tray runs one (waybar's, Plasma's):
// owns org.kde.StatusNotifierWatcher on the session bus, says a host is there, and prints each
// item that registers as "RegisterStatusNotifierItem<TAB>SERVICE". Prints "ready" once the
// name is its own.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>

#include <cstdio>

namespace {

constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";

class FakeWatcher final : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override {
        return R"(<interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
</interface>
)";
    }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const QVariantMap properties{{"RegisteredStatusNotifierItems", items_},
                                     {"IsStatusNotifierHostRegistered", true},
                                     {"ProtocolVersion", 0}};
        const QList<QVariant> arguments = message.arguments();
        if (message.member() == "GetAll") {
            connection.send(message.createReply(properties));
        } else if (message.member() == "Get" && arguments.size() == 2) {
            connection.send(message.createReply(
                QVariant::fromValue(QDBusVariant(properties.value(arguments[1].toString())))));
        } else if (message.member() == "RegisterStatusNotifierItem" && arguments.size() == 1) {
            // An item may give its object path only: its service is then the caller.
            QString service = arguments[0].toString();
            if (service.startsWith('/'))
                service = message.service();
            items_ << service;
            std::printf("RegisterStatusNotifierItem\t%s\n", qPrintable(service));
            std::fflush(stdout);
            connection.send(message.createReply());
            QDBusMessage signal = QDBusMessage::createSignal("/StatusNotifierWatcher", kWatcher,
                                                             "StatusNotifierItemRegistered");
            connection.send(signal << service);
        } else if (message.member() == "RegisterStatusNotifierHost") {
            connection.send(message.createReply());
        } else {
            return false;
        }
        return true;
    }

  private:
    QStringList items_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakeWatcher watcher;
    if (!bus.registerVirtualObject("/StatusNotifierWatcher", &watcher) ||
        !bus.registerService(kWatcher))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
