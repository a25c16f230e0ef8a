// SPDX-License-Identifier: MIT
// Times, inside GNOME Shell, from a focus change to the change of the current input source that
// follows it, for COUNT activations alternating two windows:
//
//   velmora_bench_gnome direct|agent COUNT APP-ID:SOURCE APP-ID:SOURCE
//
// The windows are brought to the front, and the times read, through the tests' own extension
// (tests/e2e/gnome-test-extension: ActivateWindowOf, Times). "direct": this program takes the
// agent's bus name and, at each FocusChanged Velmora's extension sends it, asks the extension to
// activate the window's source (xkb SOURCE) itself: the path the agent cannot shorten. "agent":
// Velmora's agent runs with rules for the windows and does the same. Prints the median and
// 90th percentile in ms for each window: GNOME takes several times longer for some sources than
// for others (a keymap of its own to compile), so a median over both would fall between the two
// and jump from run to run.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr auto kShell = "org.gnome.Shell";

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "velmora_bench_gnome: %s\n", why.c_str());
    std::exit(2);
}

QDBusMessage testCall(const char* method, const QVariantList& arguments = {}) {
    auto call = QDBusMessage::createMethodCall(kShell, "/com/quorvant/VelmoraTest",
                                               "com.quorvant.VelmoraTest1", method);
    call.setArguments(arguments);
    return call;
}

// Selects the source of each window at its FocusChanged, as the agent would.
class DirectSelection : public QObject {
    Q_OBJECT
  public:
    std::map<QString, QString> sourceOf; // app id -> xkb source id
    QDBusConnection bus = QDBusConnection::sessionBus();

  public slots:
    void focusChanged(const QString&, const QString& wmClass, uint) {
        const auto source = sourceOf.find(wmClass);
        if (source == sourceOf.end())
            return;
        auto call =
            QDBusMessage::createMethodCall(kShell, "/com/quorvant/Velmora/Shell",
                                           "com.quorvant.Velmora.Shell1", "ActivateInputSource");
        call << QString("xkb") << source->second;
        bus.asyncCall(call);
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 5)
        fail("usage: velmora_bench_gnome direct|agent COUNT APP-ID:SOURCE APP-ID:SOURCE");
    const bool direct = std::string(argv[1]) == "direct";
    const int count = std::max(1, std::atoi(argv[2]));
    QDBusConnection bus = QDBusConnection::sessionBus();
    DirectSelection selection;
    std::vector<std::pair<QString, QString>> windows;
    for (int i = 3; i < 5; ++i) {
        const QStringList parts = QString(argv[i]).split(':');
        if (parts.size() != 2)
            fail("not APP-ID:SOURCE: " + std::string(argv[i]));
        windows.emplace_back(parts[0], parts[1]);
        selection.sourceOf[parts[0]] = parts[1];
    }
    if (direct) {
        if (bus.interface()->registerService("com.quorvant.Velmora").value() !=
            QDBusConnectionInterface::ServiceRegistered)
            fail("the agent's name is taken");
        bus.connect(kShell, "/com/quorvant/Velmora/Shell", "com.quorvant.Velmora.Shell1",
                    "FocusChanged", &selection, SLOT(focusChanged(QString, QString, uint)));
    }
    auto times = [&] {
        const QDBusMessage reply = bus.call(testCall("Times"));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2)
            fail("no times from the tests' extension");
        return std::pair(reply.arguments()[0].toLongLong(), reply.arguments()[1].toLongLong());
    };
    // The event loop for MS milliseconds: the direct selection hears the extension meanwhile.
    auto runEvents = [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    std::vector<double> samples[2];
    qint64 lastFocus = times().first;
    for (int i = -2; i < count; ++i) { // two activations to settle first
        const std::size_t window = static_cast<std::size_t>(i + 2) % 2;
        const auto& [app, source] = windows[window];
        bus.call(testCall("ActivateWindowOf", {app}));
        // Read once the agent is done with the activation: reading asks the shell, which would
        // otherwise share its time between the reader and the switch being timed.
        // Only this activation's focus change counts, and the source's change after it. The
        // settling ones need no change: the source may be the window's already.
        std::pair<qint64, qint64> at;
        auto done = [&] { return at.first > lastFocus && (i < 0 || at.second > at.first); };
        for (int tries = 0; tries < 20 && !done(); ++tries) {
            runEvents(tries == 0 ? 300 : 100);
            at = times();
        }
        if (!done())
            fail("no focus change to " + app.toStdString() + " followed by a change of the source");
        lastFocus = at.first;
        if (i >= 0)
            samples[window].push_back(static_cast<double>(at.second - at.first) / 1000.0);
    }
    for (std::size_t window = 0; window < 2; ++window) {
        auto& times = samples[window];
        if (times.empty())
            continue;
        std::sort(times.begin(), times.end());
        std::printf("%s: %s median %.3f ms, p90 %.3f ms over %zu focus changes\n", argv[1],
                    qPrintable(windows[window].first), times[times.size() / 2],
                    times[(times.size() * 9) / 10], times.size());
    }
    return 0;
}

#include "gnome_focus_latency.moc"
