// SPDX-License-Identifier: MIT
// An application with one X window per class named, each with its own Fcitx5 input context
// made over Fcitx5's D-Bus frontend and focused and unfocused with its window, as a toolkit's
// input-method module does, FOCUS-MS ms after the window's (a busy toolkit's delay):
//   fcitx5_client FOCUS-MS TYPE-AFTER-MS CLASS...
// Prints "window ID" once mapped, "focus CLASS MS" as it tells Fcitx5 of a focus, "im CLASS NAME
// MS" when Fcitx5 tells a context its input method (MS: CLOCK_MONOTONIC, for the benchmarks), and
// "key CLASS HANDLED" for the key "n" sent TYPE-AFTER-MS ms after each focus of a window: 1 when
// the input method took it (Pinyin does), 0 when it left it to the application (a layout does).
// When Fcitx5 restarts, the contexts are made anew ("contexts anew MS") as a toolkit does.

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr auto kService = "org.fcitx.Fcitx5";
constexpr auto kContext = "org.fcitx.Fcitx.InputContext1";

// " MS": now, in ms of CLOCK_MONOTONIC (Qt's clock).
QString stamp() {
    return QString(" %1").arg(QDeadlineTimer::current().deadlineNSecs() / 1e6, 0, 'f', 3);
}

void say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

struct StringPair {
    QString key, value;
};
QDBusArgument& operator<<(QDBusArgument& out, const StringPair& pair) {
    out.beginStructure();
    out << pair.key << pair.value;
    out.endStructure();
    return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, StringPair& pair) {
    in.beginStructure();
    in >> pair.key >> pair.value;
    in.endStructure();
    return in;
}

struct Window {
    xcb_window_t id = 0;
    QString cls;
    QString context; // its input context's object path
};

} // namespace

Q_DECLARE_METATYPE(StringPair)

class ContextSignals : public QObject {
    Q_OBJECT
  public:
    std::vector<Window> windows;
  public slots:
    void currentIM(const QDBusMessage& message) {
        for (const Window& window : windows)
            if (window.context == message.path())
                say("im " + window.cls + " " + message.arguments().value(1).toString() + stamp());
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 4)
        return 2; // usage above
    QDBusConnection bus = QDBusConnection::sessionBus();
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 2;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    qDBusRegisterMetaType<StringPair>();
    qDBusRegisterMetaType<QList<StringPair>>();
    ContextSignals contextSignals;
    std::vector<Window>& windows = contextSignals.windows;
    // WINDOW's input context on the Fcitx5 that runs now.
    auto makeContext = [&](Window& window) {
        auto create =
            QDBusMessage::createMethodCall(kService, "/org/freedesktop/portal/inputmethod",
                                           "org.fcitx.Fcitx.InputMethod1", "CreateInputContext");
        create << QVariant::fromValue(
            QList<StringPair>{{"program", window.cls}, {"display", "x11:"}});
        const QDBusMessage reply = bus.call(create, QDBus::Block, 5000);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            say("no input context: " + reply.errorMessage());
            return false;
        }
        window.context = reply.arguments().value(0).value<QDBusObjectPath>().path();
        bus.connect(QString(), window.context, kContext, "CurrentIM", &contextSignals,
                    SLOT(currentIM(QDBusMessage)));
        // What a toolkit tells: it shows the preedit itself.
        bus.call(QDBusMessage::createMethodCall(kService, window.context, kContext, "SetCapability")
                 << QVariant::fromValue(quint64(2)));
        return true;
    };
    for (int i = 3; i < argc; ++i) {
        Window window{xcb_generate_id(c), QString::fromUtf8(argv[i]), {}};
        if (!makeContext(window))
            return 1;
        const std::uint32_t events = XCB_EVENT_MASK_FOCUS_CHANGE;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window.id, screen->root, 40 * i, 40 * i, 300,
                          200, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_EVENT_MASK, &events);
        const QByteArray both = (window.cls.toUtf8() + '\0').repeated(2);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window.id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
                            8, static_cast<std::uint32_t>(both.size()), both.data());
        xcb_icccm_wm_hints_t hints{};
        xcb_icccm_wm_hints_set_input(&hints, 1);
        xcb_icccm_set_wm_hints(c, window.id, &hints);
        xcb_map_window(c, window.id);
        windows.push_back(window);
    }
    xcb_flush(c);
    for (const Window& window : windows)
        say(QString("window %1").arg(window.id));

    auto call = [&](const Window& window, const char* method) {
        return QDBusMessage::createMethodCall(kService, window.context, kContext, method);
    };
    // A new Fcitx5: the contexts made anew, 10 * FOCUS-MS ms later (a toolkit notices a new
    // Fcitx5 more slowly than a focus), the focused window's focused at once.
    xcb_window_t focused = 0;
    QDBusServiceWatcher watcher(kService, bus, QDBusServiceWatcher::WatchForOwnerChange);
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceOwnerChanged,
                     [&](const QString&, const QString&, const QString& owner) {
                         if (owner.isEmpty())
                             return;
                         QTimer::singleShot(10 * std::atoi(argv[1]), [&] {
                             say("contexts anew" + stamp());
                             for (Window& window : windows)
                                 if (makeContext(window) && window.id == focused) {
                                     bus.asyncCall(call(window, "FocusIn"));
                                     say("focus " + window.cls + stamp());
                                 }
                         });
                     });
    QSocketNotifier notifier(xcb_get_file_descriptor(c), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            const auto type = event->response_type & 0x7f;
            const auto* focus = reinterpret_cast<xcb_focus_in_event_t*>(event);
            for (const Window& window : windows) {
                if ((type != XCB_FOCUS_IN && type != XCB_FOCUS_OUT) || focus->event != window.id ||
                    focus->detail == XCB_NOTIFY_DETAIL_POINTER)
                    continue;
                if (type == XCB_FOCUS_IN || focused == window.id)
                    focused = type == XCB_FOCUS_IN ? window.id : 0;
                QTimer::singleShot(std::atoi(argv[1]), [&, window, in = type == XCB_FOCUS_IN] {
                    bus.asyncCall(call(window, in ? "FocusIn" : "FocusOut"));
                    say((in ? "focus " : "unfocus ") + window.cls + stamp());
                });
                if (type != XCB_FOCUS_IN)
                    continue;
                QTimer::singleShot(std::atoi(argv[2]), [&, window] {
                    // "n" (key symbol 0x6e, key code 57) pressed, no modifiers, now.
                    auto key = call(window, "ProcessKeyEvent") << 0x6eu << 57u << 0u << false << 0u;
                    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(key), &app);
                    QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                                     [window](auto* w) {
                                         say("key " + window.cls +
                                             (QDBusPendingReply<bool>(*w).value() ? " 1" : " 0"));
                                         w->deleteLater();
                                     });
                });
            }
            std::free(event);
        }
        if (xcb_connection_has_error(c))
            QCoreApplication::exit(1);
    });
    return app.exec();
}

#include "fcitx5_client.moc"
