// SPDX-License-Identifier: MIT
// A desktop's session-bus services for the tests, the one named on the command line:
// "notifications" owns org.freedesktop.Notifications and prints each Notify call as
// "Notify<TAB>SUMMARY<TAB>BODY" on one line (its body may hold markup); "tray" owns a panel's
// org.kde.StatusNotifierWatcher (waybar's tray, Plasma's), says a host is there (Qt looks for
// IsStatusNotifierHostRegistered) and prints each item that registers as
// "RegisterStatusNotifierItem<TAB>SERVICE"; "agent" owns com.quorvant.Velmora as the agent
// does on GNOME, prints each signal GNOME Shell's extension sends it as "SIGNAL<TAB>ARG..." and,
// for each line "METHOD [ARG...]" on its input, calls the extension's METHOD with those strings
// and prints "reply<TAB>METHOD<TAB>ARG..." (an array's items apart by tabs, a structure's fields
// by commas) or "error<TAB>METHOD<TAB>ERROR-NAME"; a call of the agent's ShowSettings prints
// "ShowSettings"; "gnome" (or "gnome-disabled") owns org.gnome.Shell with the agent's Shell
// extension (enabled, or not yet), whose sources are us, de+nodeadkeys, the IBus engine anthy
// and one of a type the agent does not know; it prints each "Activate<TAB>TYPE<TAB>ID" and
// takes, one a line on standard input, "focus APPID CLASS PID" ("-" for empty), "disable" and
// "enable"; its signals go to com.quorvant.Velmora's owner. Each prints "ready" once its name
// is its own.

#include <QCoreApplication>
#include <QDBusArgument>
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
#include <unistd.h>

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

// A reply's or signal's values as text; nested arrays and structures flattened.
QString flatten(const QVariant& value) {
    if (!value.canConvert<QDBusArgument>())
        return value.toString();
    const auto argument = value.value<QDBusArgument>();
    QStringList items;
    const bool array = argument.currentType() == QDBusArgument::ArrayType;
    array ? argument.beginArray() : argument.beginStructure();
    while (!argument.atEnd())
        items << flatten(argument.asVariant());
    array ? argument.endArray() : argument.endStructure();
    return items.join(array ? '\t' : ',');
}

QString flatten(const QVariantList& values) {
    QStringList items;
    for (const QVariant& value : values)
        items << flatten(value);
    return items.join('\t');
}

const QString shellPath = "/com/quorvant/Velmora/Shell";
const QString shellInterface = "com.quorvant.Velmora.Shell1";

// The extension's signals, and the agent's own method that its top-bar button calls.
class AgentSide final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quorvant.Velmora.Agent1")
  public slots:
    void print(const QDBusMessage& message) {
        ::print(qPrintable(message.member()), flatten(message.arguments()));
    }
    Q_SCRIPTABLE void ShowSettings() { ::print("ShowSettings", {}); }
};

void callShell(const QDBusConnection& bus, const QStringList& words) {
    auto call = QDBusMessage::createMethodCall("org.gnome.Shell", shellPath, shellInterface,
                                               words.value(0));
    for (const QString& word : words.mid(1))
        call << word;
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
    const bool failed = reply.type() != QDBusMessage::ReplyMessage;
    print(failed ? "error" : "reply",
          words.value(0) + '\t' + (failed ? reply.errorName() : flatten(reply.arguments())));
}

// The agent's side of GNOME Shell's extension: signals printed, calls read from the input.
int runAgent(QDBusConnection bus) {
    AgentSide agent;
    for (const char* name : {"FocusChanged", "CurrentInputSourceChanged", "InputSourcesChanged"})
        if (!bus.connect("org.gnome.Shell", shellPath, shellInterface, name, &agent,
                         SLOT(print(QDBusMessage))))
            return 1;
    if (!bus.registerObject("/com/quorvant/Velmora", &agent,
                            QDBusConnection::ExportScriptableSlots) ||
        !bus.registerService("com.quorvant.Velmora"))
        return 1;
    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char chunk[4096];
        const ssize_t size = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (size <= 0)
            return QCoreApplication::quit();
        pending.append(chunk, size);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            callShell(bus, QString::fromUtf8(pending.left(end)).split(' ', Qt::SkipEmptyParts));
    });
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

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
    if (argc > 1 && std::strcmp(argv[1], "agent") == 0)
        return runAgent(bus);
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

#include "fake_desktop_services.moc"
