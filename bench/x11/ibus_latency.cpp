// SPDX-License-Identifier: MIT
// Measures how long IBus's global engine, or Fcitx5's input method, takes to follow an
// activation, on the display in $DISPLAY and IBus's bus (or the session bus) at ADDRESS:
//
//   velmora_bench_ibus ADDRESS WINDOW-A ENGINE-A WINDOW-B ENGINE-B WINDOW-C WINDOW-D COUNT
//                      [FCITX5-CLIENT-LOG [per-context]]
//
// Three series of COUNT, each alternating the two engines:
// - direct: SetGlobalEngine from here, timed from the call to IBus's GlobalEngineChanged;
// - direct at the focus: C and D (applications without rules) are activated in turn (the
//   _NET_ACTIVE_WINDOW request a pager sends), and the moment the focus has arrived (IBus: the
//   window gets the input focus; Fcitx5: its first report to the window's context after the
//   client's FocusIn) this program makes the same call itself: the path a switcher cannot
//   shorten, under the same load as an activation brings;
// - the agent: A and B (with rules for their engines) are activated in turn, timed from the
//   request and from the focus to the signal naming the window's engine.
// The agent's own part is its median from the focus less the second series' median. Times are
// CLOCK_MONOTONIC in ms.
//
// With FCITX5-CLIENT-LOG, the output of tests/e2e/fcitx5_client owning the windows' input
// contexts: the call is Fcitx5's SetCurrentIM; Fcitx5's answer is the client's "im CLASS NAME
// MS" line, and the focus its "focus CLASS MS" (FocusIn sent to Fcitx5, which a selection must
// wait for), both stamped by the client. Lines are read as the file grows. With "per-context"
// (Fcitx5 keeps an input method per context), after each activation the window's context is
// given the other input method, so that its next activation changes it again.

#include "xcb_tool.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QEventLoop>
#include <QFile>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

namespace {

using velmora::xcb_tool::fail;
using velmora::xcb_tool::medianOf;
using velmora::xcb_tool::nowMs;
using velmora::xcb_tool::report;

class Watch final : public QObject {
    Q_OBJECT

  public:
    QString wanted;
    bool anyContext = true; // Fcitx5: any context's report counts, else focusedClass's
    QString focusedClass;
    double reached = 0;
    double focused = 0;
    // Once per activation, when the focus has arrived: the window's (IBus), Fcitx5's (its first
    // report to the focused context: a call sent at the client's FocusIn could overtake it).
    std::function<void()> onFocus;
    bool focusTaken = false;
    QEventLoop loop;

    void focus(double when, bool taken) {
        focused = when;
        if (taken)
            focusTaken = true;
        if (taken && onFocus)
            onFocus();
    }

    void reach(const QString& name, double when) {
        if (name == wanted && reached == 0) {
            reached = when;
            loop.quit();
        }
    }

    // The fcitx5_client's lines written since the last call.
    void readClient(QFile& log) {
        unread += log.readAll();
        for (qsizetype end; (end = unread.indexOf('\n')) >= 0; unread.remove(0, end + 1)) {
            const QStringList words = QString::fromUtf8(unread.left(end)).split(' ');
            const double when = words.back().toDouble();
            if (words[0] == "focus" && words.size() == 3 && focused == 0) {
                focusedClass = words[1];
                focus(when, false);
            } else if (words[0] == "im" && words.size() == 4 &&
                       (anyContext || words[1] == focusedClass)) {
                if (focused > 0 && !focusTaken)
                    focus(focused, true);
                reach(words[2], when);
            }
        }
    }

  private:
    QByteArray unread;

  public slots:
    void engineChanged(const QString& name) { reach(name, nowMs()); }
};

// Runs the event loop until the watch reached its engine; false after 10 s.
bool waitFor(Watch& watch) {
    if (watch.reached == 0) {
        // Its own timer, gone with it: a time-out left running would end a later wait early.
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &watch.loop, &QEventLoop::quit);
        limit.start(10000);
        watch.loop.exec();
    }
    return watch.reached > 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 9 || argc > 11)
        fail("usage: velmora_bench_ibus ADDRESS WINDOW-A ENGINE-A WINDOW-B ENGINE-B WINDOW-C "
             "WINDOW-D COUNT [FCITX5-CLIENT-LOG [per-context]]");
    QCoreApplication application(argc, argv);
    QDBusConnection bus = QDBusConnection::connectToBus(argv[1], "bench");
    Watch watch;
    const bool fcitx5 = argc >= 10;
    const bool perContext = argc == 11 && std::strcmp(argv[10], "per-context") == 0;
    QFile log(fcitx5 ? argv[9] : "");
    QFileSystemWatcher grows;
    if (fcitx5) {
        if (!log.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            fail("cannot read " + std::string(argv[9]));
        log.readAll(); // what happened before
        grows.addPath(log.fileName());
        QObject::connect(&grows, &QFileSystemWatcher::fileChanged, [&] { watch.readClient(log); });
    } else if (!bus.connect("", "/org/freedesktop/IBus", "org.freedesktop.IBus",
                            "GlobalEngineChanged", &watch, SLOT(engineChanged(QString))))
        fail("cannot reach IBus at " + std::string(argv[1]));
    auto windowArgument = [](const char* text) {
        return static_cast<xcb_window_t>(std::strtoul(text, nullptr, 0));
    };
    const xcb_window_t ruled[] = {windowArgument(argv[2]), windowArgument(argv[4])};
    const xcb_window_t plain[] = {windowArgument(argv[6]), windowArgument(argv[7])};
    const QString engines[] = {argv[3], argv[5]};
    const int count = std::atoi(argv[8]);
    auto select = [&] {
        bus.asyncCall(
            fcitx5 ? QDBusMessage::createMethodCall("org.fcitx.Fcitx5", "/controller",
                                                    "org.fcitx.Fcitx.Controller1", "SetCurrentIM")
                         << watch.wanted
                   : QDBusMessage::createMethodCall("org.freedesktop.IBus", "/org/freedesktop/IBus",
                                                    "org.freedesktop.IBus", "SetGlobalEngine")
                         << watch.wanted);
    };

    std::vector<double> direct;
    for (int i = 0; i < count; ++i) {
        watch.wanted = engines[i % 2];
        watch.reached = 0;
        const double start = nowMs();
        select();
        if (!waitFor(watch))
            fail("no switch to " + watch.wanted.toStdString());
        direct.push_back(watch.reached - start);
    }
    report(fcitx5 ? "SetCurrentIM to the context's CurrentIM (direct)"
                  : "SetGlobalEngine to GlobalEngineChanged (direct)",
           direct);

    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x))
        fail("cannot connect to $DISPLAY");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    auto* atom = xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, 18, "_NET_ACTIVE_WINDOW"), nullptr);
    for (const auto* pair : {ruled, plain})
        for (int i = 0; i < 2; ++i) {
            const std::uint32_t mask = XCB_EVENT_MASK_FOCUS_CHANGE;
            xcb_change_window_attributes(x, pair[i], XCB_CW_EVENT_MASK, &mask);
        }
    xcb_window_t activating = 0;
    bool windowFocused = false;
    QSocketNotifier events(xcb_get_file_descriptor(x), QSocketNotifier::Read);
    QObject::connect(&events, &QSocketNotifier::activated, [&] {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            auto* focus = reinterpret_cast<xcb_focus_in_event_t*>(event);
            if ((event->response_type & 0x7F) == XCB_FOCUS_IN && focus->event == activating &&
                !std::exchange(windowFocused, true) && !fcitx5)
                watch.focus(nowMs(), true);
            std::free(event);
        }
    });
    watch.anyContext = false;
    auto activate = [&](xcb_window_t window) {
        activating = window;
        watch.reached = 0;
        watch.focused = 0;
        watch.focusTaken = false;
        watch.focusedClass.clear(); // a report on its way for the window left is not this one's
        windowFocused = false;
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.window = window;
        message.format = 32;
        message.type = atom->atom;
        message.data.data32[0] = 2; // from a pager, as xdotool says
        xcb_send_event(x, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(x);
    };
    // Lets the agent finish with an activation, then (an input method per context) gives the
    // focused context NAME, waited for: Fcitx5 answers SetCurrentIM once it has switched.
    auto settle = [&](const QString& name) {
        watch.wanted.clear();
        QTimer pause;
        pause.setSingleShot(true);
        QObject::connect(&pause, &QTimer::timeout, &watch.loop, &QEventLoop::quit);
        pause.start(300);
        while (pause.isActive())
            watch.loop.exec();
        if (perContext)
            bus.call(QDBusMessage::createMethodCall("org.fcitx.Fcitx5", "/controller",
                                                    "org.fcitx.Fcitx.Controller1", "SetCurrentIM")
                     << name);
    };
    // COUNT activations of WINDOWS in turn; with SELECT_HERE this program selects at the focus.
    // With an input method per context, each window's context first gets the input method its
    // activations do not select.
    auto activations = [&](const xcb_window_t* windows, bool selectHere,
                           std::vector<double>& fromRequest, std::vector<double>& fromFocus) {
        watch.onFocus = nullptr;
        for (int k = 0; perContext && k < 2; ++k) {
            activate(windows[k]);
            settle(engines[(k + 1) % 2]);
        }
        if (selectHere)
            watch.onFocus = [&] {
                if (!watch.wanted.isEmpty())
                    select();
            };
        for (int i = 0; i < count; ++i) {
            watch.wanted = engines[i % 2];
            const double start = nowMs();
            activate(windows[i % 2]);
            if (!waitFor(watch))
                fail(std::string(selectHere ? "no switch to " : "the agent did not select ") +
                     watch.wanted.toStdString() + " at activation " + std::to_string(i) +
                     (windowFocused || watch.focused > 0 ? "" : ", the window not focused"));
            fromRequest.push_back(watch.reached - start);
            if (watch.focused > 0)
                fromFocus.push_back(watch.reached - watch.focused);
            settle(engines[(i + 1) % 2]);
        }
        if (fromFocus.empty())
            fail("no focus change was seen");
    };
    std::vector<double> hereRequested, hereFocused, agentRequested, agentFocused;
    activations(plain, true, hereRequested, hereFocused);
    activations(ruled, false, agentRequested, agentFocused);
    std::free(atom);
    xcb_disconnect(x);
    if (fcitx5) {
        report("FocusIn to the context's CurrentIM (direct at the focus)", hereFocused);
        report("activation request to the context's CurrentIM (agent)", agentRequested);
        report("FocusIn to the context's CurrentIM (agent)", agentFocused);
    } else {
        report("focus to GlobalEngineChanged (direct at the focus)", hereFocused);
        report("activation request to GlobalEngineChanged (agent)", agentRequested);
        report("focus to GlobalEngineChanged (agent)", agentFocused);
    }
    std::printf("the agent's part beyond the direct call at the focus: %.2f ms (medians)\n",
                medianOf(agentFocused) - medianOf(hereFocused));
    return 0;
}

#include "ibus_latency.moc"
