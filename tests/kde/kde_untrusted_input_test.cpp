// SPDX-License-Identifier: MIT
// What KWin's keyboard service, KDE's global shortcuts and the activation script's callers could
// send, as a broken or hostile sender would: every value is bounded or refused, said once, and
// none costs the agent. Replies travel through a private dbus-daemon, as the agent gets them.
#include "kde/kde_global_shortcuts.h"
#include "kde/kde_keyboard_layouts.h"
#include "kde/kde_workspace.h"
#include "kde/kwin_activation_script.h"
#include "private_bus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <limits>

struct WireLayout {
    QString shortName, displayName, longName;
};
Q_DECLARE_METATYPE(WireLayout)
QDBusArgument& operator<<(QDBusArgument& out, const WireLayout& layout) {
    out.beginStructure();
    out << layout.shortName << layout.displayName << layout.longName;
    out.endStructure();
    return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, WireLayout& layout) {
    in.beginStructure();
    in >> layout.shortName >> layout.displayName >> layout.longName;
    in.endStructure();
    return in;
}

namespace velmora::kde {
namespace {

using test_support::FakeBusObject;
using test_support::PrivateBus;

QVariant layouts(std::initializer_list<WireLayout> some, int copies = 1) {
    QList<WireLayout> list;
    for (int i = 0; i < copies; ++i)
        list.append(some);
    return QVariant::fromValue(list);
}

TEST(KdeUntrustedInput, LayoutListRepliesAreCheckedAndBounded) {
    PrivateBus bus;
    QDBusConnection keyboard = bus.connect("desktop");
    QDBusConnection agent = bus.connect("agent");
    FakeBusObject fake;
    ASSERT_TRUE(keyboard.registerVirtualObject("/Layouts", &fake));
    const QString huge(10000, u'x');
    const struct {
        const char* what;
        QVariant reply;
        std::size_t count; // the layouts read
        std::string first; // the first one's ID, "none" for none, "refused" for a reply refused
    } cases[] = {
        {"a variant found by its description", layouts({{"de", "de", "German (no dead keys)"}}), 1,
         "xkb:de(nodeadkeys)"},
        {"a short name standing for itself", layouts({{"de(neo)", "", ""}}), 1, "xkb:de(neo)"},
        {"empty names", layouts({{"", "", ""}}), 1, "xkb:group1"},
        {"a short name that was no UTF-8", layouts({{"d\uFFFDe", "", ""}}), 1, "xkb:group1"},
        {"a short name of absurd length", layouts({{QString(33, u'a'), huge, huge}}), 1,
         "xkb:group1"},
        {"more layouts than a keyboard has", layouts({{"us", "", ""}}, 1000),
         KdeKeyboardLayouts::kMaxLayouts, "xkb:us"},
        {"an empty list", layouts({}), 0, "none"},
        {"a string", QString("us"), 0, "refused"},
        {"lists of strings", QVariant::fromValue(QList<QStringList>{{"us", "", ""}}), 0, "refused"},
        {"an error", QVariant(), 0, "refused"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake.set("", c.reply);
        const QDBusMessage reply =
            agent.call(QDBusMessage::createMethodCall(keyboard.baseService(), "/Layouts",
                                                      "org.kde.KeyboardLayouts", "getLayoutsList"),
                       QDBus::BlockWithGui, 5000);
        const auto read = layoutsOfReply(reply, {{"de", "nodeadkeys", "German (no dead keys)"}});
        EXPECT_EQ(!read ? "refused" : read->empty() ? "none" : read->front().id, c.first);
        EXPECT_EQ(read ? read->size() : 0, c.count);
        for (const KdeLayout& layout : read.value_or(std::vector<KdeLayout>{}))
            EXPECT_LE(layout.name.size(), 256u);
    }
}

// Hotkeys with no global shortcuts service, then with one that answers nonsense: said once
// each, nothing fails; a press of another component counts for nothing, the agent's does.
TEST(KdeUntrustedInput, HotkeysSayOnceWhatKdeDoesNotGive) {
    PrivateBus bus;
    QDBusConnection service = bus.connect("desktop");
    std::vector<std::string> said;
    int presses = 0;
    const auto keys = [](const PlistValue&, std::string*) { return std::optional(0x44); };
    const auto hotKey = GlobalShortcut::hotKeyWithIdentifierKeyCombo(
        "xkb:de", PlistValue(), [&](GlobalShortcut&) { ++presses; });
    const auto log = [&](const std::string& line) { said.push_back(line); };
    {
        KdeGlobalShortcuts none(bus.connect("agent"), keys, log);
        none.registerHotKey(hotKey);
        none.registerHotKey(hotKey);
        ASSERT_EQ(said.size(), 1u);
        EXPECT_NE(said[0].find("not running"), std::string::npos) << said[0];
    }
    FakeBusObject fake;
    fake.set("", QString("keys"));
    ASSERT_TRUE(service.registerService("org.kde.kglobalaccel"));
    ASSERT_TRUE(service.registerVirtualObject("/kglobalaccel", &fake));
    KdeGlobalShortcuts centre(bus.connect("agent"), keys, log);
    bool last = false; // the last press, after which the others are in
    centre.registerHotKey(hotKey);
    const auto lastKey = GlobalShortcut::hotKeyWithIdentifierKeyCombo(
        "xkb:ru", PlistValue(), [&](GlobalShortcut&) { last = true; });
    centre.registerHotKey(lastKey);
    const auto press = [&](const char* component, const char* action) {
        QDBusMessage signal = QDBusMessage::createSignal(
            "/component/velmora", "org.kde.kglobalaccel.Component", "globalShortcutPressed");
        signal.setArguments({component, action, qlonglong(1)});
        service.send(signal);
    };
    press("other", "xkb:de");
    press("velmora", "xkb:de");
    press("velmora", "xkb:ru");
    for (QDeadlineTimer deadline(10000); (said.size() < 3 || !last) && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    ASSERT_EQ(said.size(), 3u);
    EXPECT_NE(said[1].find("did not give xkb:de"), std::string::npos) << said[1];
    EXPECT_EQ(presses, 1);
    for (const HotKeyPtr& key : {hotKey, lastKey}) // the fake answers on this thread: no wait
        centre.unregisterHotKey(key);
}

TEST(KdeUntrustedInput, ActivationCallsSaturateAndDropUnusableText) {
    constexpr std::int32_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t high = std::numeric_limits<std::int32_t>::max();
    const struct {
        QString desktopFile, pid, geometry;
        std::optional<std::string> desktop;
        std::int64_t pidRead;
        std::array<std::int32_t, 4> geometryRead;
    } cases[] = {
        {"term", "42", "1,2,3,4", "term", 42, {1, 2, 3, 4}},
        {"", "-5", "1,2,3", std::nullopt, 0, {0, 0, 0, 0}},
        {QString(513, u'a'), "1e30", "-1e99,5.7,-3,1e99", std::nullopt, high, {low, 5, 0, high}},
        {QString(512, u'a'), "nan", "nan,inf,-inf,x", std::string(512, 'a'), 0, {0, high, 0, 0}},
        {"te\uFFFDrm", QString(41, u'1'), ",,,", std::nullopt, 0, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.desktopFile.left(20).toStdString() + " " + c.pid.toStdString());
        const KWinWindow window =
            kwinWindowOf(QString(600, u'i'), c.desktopFile, c.desktopFile, c.pid, c.geometry);
        EXPECT_EQ(window.id.size(), 512u);
        EXPECT_EQ(window.desktopFile, c.desktop);
        EXPECT_EQ(window.resourceClass, c.desktop);
        EXPECT_EQ(window.pid, c.pidRead);
        EXPECT_EQ((std::array{window.x, window.y, window.width, window.height}), c.geometryRead);
    }
}

// The frame the indicator follows: cut to what a desktop can be (its corner's sums cannot
// overflow), empty frames and the moves of windows behind not taken.
TEST(KdeUntrustedInput, FrontFramesAreCutAndOnlyTheFrontWindowMoves) {
    KdeWorkspace workspace([](const KWinWindow&) { return RunningApplication{}; }, {});
    std::vector<QRect> told;
    workspace.setFrontFrameObserver([&told](const QRect& frame) { told.push_back(frame); });
    workspace.windowActivated(kwinWindowOf("a", "term", "", "1", "-1e99,5,1e99,1e99"));
    workspace.windowMoved(kwinWindowOf("b", "", "", "", "7,7,7,7"));
    workspace.windowMoved(kwinWindowOf("a", "", "", "", "1,2,0,4"));
    workspace.windowMoved(kwinWindowOf("a", "", "", "", "1,2,3,4"));
    const std::vector<QRect> expected{QRect(-1'000'000, 5, 1'000'000, 1'000'000),
                                      QRect(1, 2, 3, 4)};
    EXPECT_EQ(told, expected);
    EXPECT_EQ(workspace.frontFrame(), QRect(1, 2, 3, 4));
}

} // namespace
} // namespace velmora::kde

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    qDBusRegisterMetaType<WireLayout>();
    qDBusRegisterMetaType<QList<WireLayout>>();
    qDBusRegisterMetaType<QList<QStringList>>();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
