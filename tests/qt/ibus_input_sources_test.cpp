// SPDX-License-Identifier: MIT
// IBus's engines against a fake IBus on a private bus: misshapen descriptions are left out and
// said once, a bus that lists no engines (Fcitx5's stand-in, a wrong reply, none) is no running
// IBus, IBus's signals keep the cache, and IBus's configuration service is waited for. The
// address file's folder made while it is looked for.
#include "ibus/ibus_address.h"
#include "ibus/ibus_engines.h"
#include "ibus/ibus_input_sources.h"

#include <QDBusArgument>
#include <QDBusVirtualObject>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <mutex>

namespace {

using velmora::DesktopBroadcast;
using Ids = std::vector<std::string>;

// An engine description as IBus 1.5 sends it, its name of NAME's type.
QDBusVariant description(const QVariant& name, const QString& layout) {
    QDBusArgument fields;
    fields.beginStructure();
    fields << QString("IBusEngineDesc") << QVariantMap();
    fields.appendVariant(name);
    for (const char* text : {"Long", "", "", "", "", "icon"})
        fields << QString(text);
    fields << layout << 1u << QString() << QString() << QString() << QString();
    fields.endStructure();
    return QDBusVariant(QVariant::fromValue(fields));
}

// Called on Qt D-Bus's thread: the test takes the mutex too.
struct FakeIBus final : QDBusVirtualObject {
    std::mutex mutex;
    QString engines = "engines"; // or "string", "unknown" (as Fcitx5's frontend), "none"
    QStringList calls;           // "METHOD FIRST-ARGUMENT"

    bool called(const QString& what) {
        std::lock_guard lock(mutex);
        return calls.contains(what);
    }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
        std::lock_guard lock(mutex);
        QDBusArgument list;
        const QString method = call.member();
        calls << method + ' ' + call.arguments().value(0).toString();
        if (method == "ListEngines" && engines == "engines") {
            list.beginArray(QMetaType::fromType<QDBusVariant>());
            list << description("libpinyin", "default") << description("xkb:de::deu", "de")
                 << description(7u, "us") << QDBusVariant(QString("no description"));
            list.endArray();
            bus.send(call.createReply(QVariant::fromValue(list)));
        } else if (method == "ListEngines" && engines != "none") {
            bus.send(engines == "string" ? call.createReply(QString("engines"))
                                         : call.createErrorReply(QDBusError::UnknownMethod, ""));
        } else if (method == "GetGlobalEngine") {
            bus.send(call.createReply(QVariant::fromValue(QDBusVariant(QString("junk")))));
        } else if (method == "SetGlobalEngine") {
            bus.send(call.createReply());
        } else if (method == "GetValue") { // as the configuration service, once it runs
            const QStringList preload{"xkb:de::deu", "gone", "libpinyin"};
            bus.send(call.createReply(QVariant::fromValue(QDBusVariant(preload))));
        }
        return true;
    }
};

class IBusInputSourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        ASSERT_TRUE(daemon_.waitForReadyRead(10000));
        const QByteArray address = daemon_.readLine().trimmed();
        qputenv("IBUS_ADDRESS", address);
        bus_ = QDBusConnection::connectToBus(address, "fake");
        ASSERT_TRUE(bus_.registerService("org.freedesktop.IBus"));
        ASSERT_TRUE(
            bus_.registerVirtualObject("/org/freedesktop/IBus", &fake_, QDBusConnection::SubPath));
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus("fake");
        daemon_.kill();
        daemon_.waitForFinished();
        qunsetenv("IBUS_ADDRESS");
    }
    // IBus, its calls given TIMEOUTMS; waited for unless that is long.
    std::unique_ptr<velmora::ibus::IBusInputSources> start(int timeoutMs = 500) {
        auto ibus = std::make_unique<velmora::ibus::IBusInputSources>(
            [this](DesktopBroadcast broadcast) { posts_.push_back(broadcast); },
            [this](const std::string& line) { said_.push_back(line); }, timeoutMs);
        EXPECT_TRUE(timeoutMs > 500 || QTest::qWaitFor([&] { return ibus->settled(); }, 10000));
        return ibus;
    }
    void signal(const char* path, const char* interface, const char* name, QVariantList args) {
        QDBusMessage message = QDBusMessage::createSignal(path, interface, name);
        message.setArguments(args);
        bus_.send(message);
    }
    Ids ids(const std::optional<std::string>& id, bool all) {
        Ids found;
        for (const velmora::InputSource& source : ibus_->sourcesMatching(id, all))
            found.push_back(source.inputSourceID.value_or("-"));
        return found;
    }

    QProcess daemon_;
    QDBusConnection bus_{""};
    FakeIBus fake_;
    std::unique_ptr<velmora::ibus::IBusInputSources> ibus_;
    std::vector<DesktopBroadcast> posts_;
    std::vector<std::string> said_;
};

TEST_F(IBusInputSourcesTest, TakesTheWellFormedEnginesAndFollowsIBusSignals) {
    ibus_ = start();
    ASSERT_TRUE(ibus_->running());
    EXPECT_EQ(ids(std::nullopt, false), (Ids{"ibus:libpinyin", "ibus:xkb:de::deu"}));
    EXPECT_EQ(ids("xkb:de", false), Ids{"ibus:xkb:de::deu"});
    EXPECT_FALSE(ibus_->currentSource()) << "the global engine was no description";
    // Without IBus's configuration service, once it has not started within the time-out.
    ASSERT_EQ(said_.size(), 2u);
    EXPECT_NE(said_[0].find("global engine"), std::string::npos) << said_[0];
    EXPECT_NE(said_[1].find("configuration service"), std::string::npos) << said_[1];

    signal("/org/freedesktop/IBus/Config", "org.freedesktop.IBus.Config", "ValueChanged",
           {"general", "preload-engines",
            QVariant::fromValue(QDBusVariant(QStringList{"xkb:de::deu"}))});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !posts_.empty(); }));
    EXPECT_EQ(posts_.back(), DesktopBroadcast::EnabledInputSourcesChanged);
    EXPECT_EQ(ids(std::nullopt, false), Ids{"ibus:xkb:de::deu"});
    EXPECT_EQ(ids("ibus:libpinyin", false), Ids{});
    EXPECT_EQ(ids("ibus:libpinyin", true), Ids{"ibus:libpinyin"});

    signal("/org/freedesktop/IBus", "org.freedesktop.IBus", "GlobalEngineChanged", {"libpinyin"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return posts_.size() == 2; }));
    EXPECT_EQ(posts_.back(), DesktopBroadcast::SelectedInputSourceChanged);
    EXPECT_EQ(ibus_->currentSource()->inputSourceID, "ibus:libpinyin");
    ibus_->select(ibus_->sourcesMatching("xkb:de", false).front());
    EXPECT_EQ(ibus_->currentSource()->inputSourceID, "ibus:xkb:de::deu");
    EXPECT_TRUE(ibus_->isSameSource("xkb:de", "ibus:xkb:de::deu")) << "a layout rule is met";
    EXPECT_FALSE(ibus_->isSameSource("xkb:de", "ibus:libpinyin"));
    // The command line, without IBus's list, reads the layout from the engine's name.
    EXPECT_TRUE(velmora::ibus::standsForLayout("ibus:xkb:de:nodeadkeys:deu", "xkb:de(nodeadkeys)"));
    EXPECT_FALSE(velmora::ibus::standsForLayout("ibus:xkb:de:nodeadkeys:deu", "xkb:de"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake_.called("SetGlobalEngine xkb:de::deu"); }));
}

TEST_F(IBusInputSourcesTest, ABusThatListsNoEnginesIsNoRunningIBus) {
    for (const std::string answer : {"string", "unknown", "none"}) {
        std::unique_lock lock(fake_.mutex);
        fake_.engines = QString::fromStdString(answer);
        lock.unlock();
        said_.clear();
        EXPECT_FALSE(start()->running()) << answer;
        // The global engine's junk is said as well.
        ASSERT_EQ(said_.size(), 2u) << answer;
        const std::string& line = said_[said_[0].find("list") != std::string::npos ? 0 : 1];
        EXPECT_EQ(line.find("Fcitx5") != std::string::npos, answer == "unknown") << line;
    }
}

// IBus leaves a call to its configuration service unanswered until that has started: IBus is
// taken once it runs, with its engines, however far off the time-out.
TEST_F(IBusInputSourcesTest, TakesTheConfiguredEnginesOnceTheConfigurationServiceRuns) {
    ibus_ = start(60000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake_.called("GetGlobalEngine "); }));
    ASSERT_TRUE(bus_.registerService("org.freedesktop.IBus.Config"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ibus_->running(); }));
    EXPECT_EQ(ids(std::nullopt, false), (Ids{"ibus:xkb:de::deu", "ibus:libpinyin"}));
    EXPECT_TRUE(posts_.empty()) << "taken before its engines were known";
}

// IBus makes its folders and writes the file just as the first folder is watched: the
// address folder and file are watched in the end, or IBus's next address would go unnoticed.
TEST(IBusAddressWatch, FollowsFoldersMadeWhileLookingForThem) {
    QTemporaryDir config;
    const std::string folder = velmora::ibus::addressFolder(config.path().toStdString());
    const std::string file = folder + "/id-unix-1";
    const auto paths = velmora::ibus::addressWatchPaths(folder, file, [&](const std::string&) {
        if (QDir().mkpath(QString::fromStdString(folder)))
            QFile(QString::fromStdString(file)).open(QIODevice::WriteOnly);
    });
    EXPECT_EQ(paths, (Ids{folder, file}));
}

} // namespace
