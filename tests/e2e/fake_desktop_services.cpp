// SPDX-License-Identifier: MIT
// A desktop's session-bus services for the tests, the one named on the command line:
// "notifications" owns org.freedesktop.Notifications and prints each Notify call as
// "Notify<TAB>SUMMARY<TAB>BODY" on one line (its body may hold markup); "tray" owns a panel's
// org.kde.StatusNotifierWatcher (waybar's tray, Plasma's), says a host is there (Qt looks for
// IsStatusNotifierHostRegistered) and prints each item that registers as
// "RegisterStatusNotifierItem<TAB>SERVICE"; "gnome" (or "gnome-disabled") owns org.gnome.Shell
// with the agent's Shell extension (enabled, or not yet), whose sources are us, de+nodeadkeys,
// the IBus engine anthy and one of a type the agent does not know; it prints each
// "Activate<TAB>TYPE<TAB>ID" and takes, one a line on standard input, "focus APPID CLASS PID"
// ("-" for empty), "disable" and "enable"; its
// signals go to com.quorvant.Velmora's owner. Prints "ready" once the name is its own.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QSocketNotifier>

#include "wire_input_source.h"

#include <cstdio>
#include <cstring>
#include <mutex>

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

// Qt D-Bus may call it on a thread of its own: the state is locked.
class FakeGnomeShell final : public QDBusVirtualObject {
  public:
    explicit FakeGnomeShell(bool enabled) : enabled_(enabled) {}
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        std::lock_guard lock(mutex_);
        const QString member = message.member();
        if (message.path() == "/org/gnome/Shell") {
            if (member != "GetExtensionInfo")
                return false;
            QVariantMap info{{"uuid", message.arguments().value(0)},
                             {"state", enabled_ ? 1.0 : 2.0}};
            connection.send(message.createReply(info));
        } else if (!enabled_) {
            connection.send(message.createErrorReply(QDBusError::UnknownObject, "no such object"));
        } else if (member == "GetVersion") {
            connection.send(message.createReply(1u));
        } else if (member == "GetFocus") {
            connection.send(message.createReply(QVariantList{"", "", 0u}));
        } else if (member == "GetInputSources") {
            connection.send(message.createReply(QVariant::fromValue(kSources)));
        } else if (member == "GetCurrentInputSource") {
            connection.send(message.createReply(QVariantList{current_[0], current_[1]}));
        } else if (member == "ActivateInputSource") {
            print("Activate",
                  message.arguments()[0].toString() + '\t' + message.arguments()[1].toString());
            current_ = {message.arguments()[0].toString(), message.arguments()[1].toString()};
            connection.send(message.createReply(true));
            tell(connection, "CurrentInputSourceChanged", {current_[0], current_[1]});
        } else {
            return false;
        }
        return true;
    }
    // One line of the test's.
    void command(const QDBusConnection& connection, const QStringList& words) {
        std::lock_guard lock(mutex_);
        const auto word = [&](int i) { return words.value(i) == "-" ? QString() : words.value(i); };
        if (words.value(0) == "focus")
            tell(connection, "FocusChanged", {word(1), word(2), words.value(3).toUInt()});
        if (words.value(0) == "disable" || words.value(0) == "enable") {
            enabled_ = words.value(0) == "enable";
            QDBusMessage changed = QDBusMessage::createSignal(
                "/org/gnome/Shell", "org.gnome.Shell.Extensions", "ExtensionStateChanged");
            changed << "velmora@quorvant.com" << QVariantMap{{"state", enabled_ ? 1.0 : 2.0}};
            connection.send(changed);
        }
    }

  private:
    void tell(const QDBusConnection& connection, const char* name, const QVariantList& arguments) {
        QDBusMessage signal = QDBusMessage::createTargetedSignal(
            "com.quorvant.Velmora", "/com/quorvant/Velmora/Shell", "com.quorvant.Velmora.Shell1",
            name);
        signal.setArguments(arguments);
        connection.send(signal);
    }
    const QList<WireInputSource> kSources{{"xkb", "us", "English (US)"},
                                          {"xkb", "de+nodeadkeys", "German (no dead keys)"},
                                          {"ibus", "anthy", "Japanese (Anthy)"},
                                          {"other", "x", "Another kind"}};
    std::mutex mutex_;
    bool enabled_;
    QStringList current_{"xkb", "us"};
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakeNotifications notifications;
    FakeTrayWatcher watcher;
    const QString mode = argc > 1 ? argv[1] : "";
    FakeGnomeShell shell(mode == "gnome");
    QSocketNotifier input(0, QSocketNotifier::Read);
    if (mode.startsWith("gnome")) {
        qDBusRegisterMetaType<WireInputSource>();
        qDBusRegisterMetaType<QList<WireInputSource>>();
        QObject::connect(&input, &QSocketNotifier::activated, [&] {
            char line[512];
            if (!std::fgets(line, sizeof line, stdin))
                QCoreApplication::exit(0);
            else
                shell.command(bus, QString(line).trimmed().split(' ', Qt::SkipEmptyParts));
        });
        if (!bus.registerVirtualObject("/com/quorvant/Velmora/Shell", &shell) ||
            !bus.registerVirtualObject("/org/gnome/Shell", &shell) ||
            !bus.registerService("org.gnome.Shell"))
            return 1;
    } else if (mode == "tray"
                   ? !bus.registerVirtualObject("/StatusNotifierWatcher", &watcher) ||
                         !bus.registerService("org.kde.StatusNotifierWatcher")
                   : !bus.registerVirtualObject("/org/freedesktop/Notifications", &notifications) ||
                         !bus.registerService("org.freedesktop.Notifications")) {
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
