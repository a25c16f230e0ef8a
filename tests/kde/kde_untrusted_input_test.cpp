// SPDX-License-Identifier: MIT
// What KWin's keyboard service and the activation script's callers could send, as a broken or
// hostile sender would: every value is bounded or refused and none costs the agent. The replies
// travel through a private dbus-daemon, as the agent receives them.
#include "kde/kde_keyboard_layouts.h"
#include "kde/kwin_activation_script.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <limits>
#include <mutex>

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

// Answers each call with REPLY (on whichever thread Qt D-Bus calls it).
struct FakeKeyboard final : QDBusVirtualObject {
    std::mutex mutex;
    QVariant reply; // invalid: an error
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
        std::lock_guard lock(mutex);
        bus.send(reply.isValid() ? call.createReply(reply)
                                 : call.createErrorReply(QDBusError::Failed, "broken"));
        return true;
    }
};

QVariant layouts(std::initializer_list<WireLayout> some, int copies = 1) {
    QList<WireLayout> list;
    for (int i = 0; i < copies; ++i)
        list.append(some);
    return QVariant::fromValue(list);
}

TEST(KdeUntrustedInput, LayoutListRepliesAreCheckedAndBounded) {
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(daemon.waitForReadyRead(10000));
    const QString address = daemon.readLine().trimmed();
    QDBusConnection keyboard = QDBusConnection::connectToBus(address, "keyboard");
    QDBusConnection agent = QDBusConnection::connectToBus(address, "agent");
    FakeKeyboard fake;
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
        {
            std::lock_guard lock(fake.mutex);
            fake.reply = c.reply;
        }
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
    QDBusConnection::disconnectFromBus("agent");
    QDBusConnection::disconnectFromBus("keyboard");
    daemon.kill();
    daemon.waitForFinished();
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
