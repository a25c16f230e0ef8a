// SPDX-License-Identifier: MIT
// IBus's engines against a fake IBus on a private bus: what is misshapen in its replies is left
// out or refused and said once, a bus that answers as another framework's stand-in or not at all
// is no running IBus, and IBus's signals keep the cache without a question asked.
#include "ibus/ibus_input_sources.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <mutex>

namespace {

using velmora::DesktopBroadcast;
using velmora::InputSource;
using velmora::ibus::IBusInputSources;

// An engine description as IBus 1.5 sends it; NAME of another type than a string when given.
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

// Its calls come on Qt D-Bus's own thread: the test's reads and writes take the mutex.
class FakeIBus final : public QDBusVirtualObject {
  public:
    std::mutex mutex;
    // What ListEngines answers: "engines", "string", "unknown" (as Fcitx5's frontend), "none".
    QString engines = "engines";
    QStringList selected;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
        std::lock_guard lock(mutex);
        const QString method = call.member();
        if (method == "ListEngines" && engines != "engines") {
            if (engines == "string")
                bus.send(call.createReply(QString("engines")));
            else if (engines == "unknown")
                bus.send(call.createErrorReply(QDBusError::UnknownMethod, "no ListEngines"));
            return true;
        }
        if (method == "ListEngines") {
            QDBusArgument list;
            list.beginArray(QMetaType::fromType<QDBusVariant>());
            list << description("libpinyin", "default") << description("xkb:de::deu", "de")
                 << description(7u, "us") << QDBusVariant(QString("not a description"));
            list.endArray();
            bus.send(call.createReply(QVariant::fromValue(list)));
        } else if (method == "GetGlobalEngine") {
            bus.send(call.createReply(QVariant::fromValue(QDBusVariant(QString("junk")))));
        } else if (method == "SetGlobalEngine") {
            selected << call.arguments().value(0).toString();
            bus.send(call.createReply());
        } else {
            bus.send(call.createErrorReply(QDBusError::Failed, "Config value does not exist"));
        }
        return true;
    }
};

class IBusInputSourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        ASSERT_TRUE(daemon_.waitForReadyRead(10000));
        const QString address = QString::fromUtf8(daemon_.readLine()).trimmed();
        qputenv("IBUS_ADDRESS", address.toUtf8());
        bus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, "fake"));
        ASSERT_TRUE(bus_->registerService("org.freedesktop.IBus"));
        ASSERT_TRUE(
            bus_->registerVirtualObject("/org/freedesktop/IBus", &fake_, QDBusConnection::SubPath));
    }
    void TearDown() override {
        bus_.reset();
        QDBusConnection::disconnectFromBus("fake");
        daemon_.kill();
        daemon_.waitForFinished();
        qunsetenv("IBUS_ADDRESS");
    }
    std::unique_ptr<IBusInputSources> start() {
        auto ibus = std::make_unique<IBusInputSources>(
            [this](DesktopBroadcast broadcast) { posts_.push_back(broadcast); },
            [this](const std::string& line) { said_.push_back(line); }, 500);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ibus->settled(); }, 10000));
        return ibus;
    }
    void signal(const char* path, const char* interface, const char* name, QVariantList args) {
        QDBusMessage message = QDBusMessage::createSignal(path, interface, name);
        message.setArguments(args);
        bus_->send(message);
    }
    static std::vector<std::string> ids(const std::vector<InputSource>& sources) {
        std::vector<std::string> found;
        for (const InputSource& source : sources)
            found.push_back(source.inputSourceID.value_or("-"));
        return found;
    }

    QProcess daemon_;
    std::unique_ptr<QDBusConnection> bus_;
    FakeIBus fake_;
    std::vector<DesktopBroadcast> posts_;
    std::vector<std::string> said_;
};

using Ids = std::vector<std::string>;

TEST_F(IBusInputSourcesTest, TakesTheWellFormedEnginesAndFollowsIBusSignals) {
    auto ibus = start();
    ASSERT_TRUE(ibus->running());
    EXPECT_EQ(ids(ibus->sourcesMatching(std::nullopt, false)),
              (Ids{"ibus:libpinyin", "ibus:xkb:de::deu"}));
    EXPECT_EQ(ids(ibus->sourcesMatching("xkb:de", false)), Ids{"ibus:xkb:de::deu"});
    EXPECT_FALSE(ibus->currentSource()) << "the global engine was no description";
    ASSERT_EQ(said_.size(), 1u);
    EXPECT_NE(said_[0].find("global engine"), std::string::npos) << said_[0];

    signal("/org/freedesktop/IBus/Config", "org.freedesktop.IBus.Config", "ValueChanged",
           {"general", "preload-engines",
            QVariant::fromValue(QDBusVariant(QStringList{"xkb:de::deu"}))});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !posts_.empty(); }));
    EXPECT_EQ(posts_.back(), DesktopBroadcast::EnabledInputSourcesChanged);
    EXPECT_EQ(ids(ibus->sourcesMatching(std::nullopt, false)), Ids{"ibus:xkb:de::deu"});
    EXPECT_TRUE(ibus->sourcesMatching("ibus:libpinyin", false).empty());
    EXPECT_EQ(ids(ibus->sourcesMatching("ibus:libpinyin", true)), Ids{"ibus:libpinyin"});

    signal("/org/freedesktop/IBus", "org.freedesktop.IBus", "GlobalEngineChanged", {"libpinyin"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return posts_.size() == 2; }));
    EXPECT_EQ(posts_.back(), DesktopBroadcast::SelectedInputSourceChanged);
    EXPECT_EQ(ibus->currentSource()->inputSourceID, "ibus:libpinyin");

    ibus->select(ibus->sourcesMatching("xkb:de", false).front());
    EXPECT_EQ(ibus->currentSource()->inputSourceID, "ibus:xkb:de::deu");
    ASSERT_TRUE(QTest::qWaitFor([&] {
        std::lock_guard lock(fake_.mutex);
        return fake_.selected == QStringList{"xkb:de::deu"};
    }));

    bool told = false;
    ibus->setRunningChanged([&told] { told = true; });
    daemon_.kill();
    ASSERT_TRUE(QTest::qWaitFor([&] { return told; }));
    EXPECT_FALSE(ibus->running());
    EXPECT_EQ(said_.size(), 1u);
}

TEST_F(IBusInputSourcesTest, ABusThatListsNoEnginesIsNoRunningIBus) {
    for (const char* answer : {"string", "unknown", "none"}) {
        std::unique_lock lock(fake_.mutex);
        fake_.engines = answer;
        lock.unlock();
        said_.clear();
        auto ibus = start();
        EXPECT_FALSE(ibus->running()) << answer;
        // The global engine's junk is said too, by each new service.
        std::vector<std::string> aboutEngines;
        for (const std::string& line : said_)
            if (line.find("list") != std::string::npos)
                aboutEngines.push_back(line);
        ASSERT_EQ(aboutEngines.size(), 1u) << answer;
        EXPECT_EQ(aboutEngines[0].find("Fcitx5") != std::string::npos,
                  answer == std::string("unknown"))
            << aboutEngines[0];
    }
}

} // namespace
