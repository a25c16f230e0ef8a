// SPDX-License-Identifier: MIT
// What the Shell extension's replies and other callers could bring, as a broken or hostile peer
// would: every value is bounded or refused, said once, and none costs the agent. Replies travel
// through a private dbus-daemon, as the agent gets them.
#include "gnome/gnome_agent_service.h"
#include "gnome/gnome_input_sources.h"
#include "gnome/gnome_shell_extension.h"
#include "private_bus.h"
#include "wire_input_source.h"

#include <QCoreApplication>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

namespace velmora::gnome {
namespace {

using test_support::FakeBusObject;
using test_support::PrivateBus;

QVariant sources(std::initializer_list<WireInputSource> some, int copies = 1) {
    QList<WireInputSource> list;
    for (int i = 0; i < copies; ++i)
        list.append(some);
    return QVariant::fromValue(list);
}

void waitFor(const std::function<bool()>& done) {
    for (QDeadlineTimer deadline(10000); !done() && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

TEST(GnomeUntrustedInput, RepliesAreCheckedAndBounded) {
    PrivateBus bus;
    QDBusConnection shell = bus.connect("shell");
    QDBusConnection agent = bus.connect("agent");
    FakeBusObject fake;
    ASSERT_TRUE(shell.registerVirtualObject(kExtensionPath, &fake));
    const auto ask = [&](const char* method, QVariant reply) {
        fake.set(method, std::move(reply));
        return agent.call(QDBusMessage::createMethodCall(shell.baseService(), kExtensionPath,
                                                         kExtensionInterface, method),
                          QDBus::BlockWithGui, 5000);
    };
    const QString huge(10000, u'x');
    const struct {
        const char* what;
        QVariant reply;
        std::string ids; // the first two sources read, "refused" for a reply refused
        std::size_t count;
        int skipped;
    } sourceCases[] = {
        {"GNOME's spellings", sources({{"xkb", "de+nodeadkeys", ""}, {"ibus", "anthy", "A"}}),
         "xkb:de(nodeadkeys) ibus:anthy", 2, 0},
        {"unknown kinds, names that are none, a huge name",
         sources({{"m17n", "x", ""},
                  {"xkb", "de+", ""},
                  {"xkb", "d e", ""},
                  {"ibus", huge, ""},
                  {"xkb", "us", huge}}),
         "xkb:us", 1, 4},
        {"more sources than a desktop has", sources({{"xkb", "us", ""}}, 1000), "xkb:us xkb:us",
         kMaxSources, 0},
        {"a string", QString("us"), "refused", 0, 0},
        {"an error", QVariant(), "refused", 0, 0},
    };
    for (const auto& c : sourceCases) {
        SCOPED_TRACE(c.what);
        int skipped = -1;
        const auto read = sourcesOf(ask("GetInputSources", c.reply), &skipped);
        std::string ids = read ? "" : "refused";
        for (std::size_t i = 0; read && i < std::min<std::size_t>(2, read->size()); ++i)
            ids += (i ? " " : "") + (*read)[i].sourceId;
        EXPECT_EQ(ids, c.ids);
        EXPECT_EQ(read ? read->size() : 0, c.count);
        EXPECT_EQ(skipped, c.skipped);
    }
    const struct {
        QVariantList reply;
        std::string read; // "desktop id|class|pid", "refused"
    } focusCases[] = {
        {{"org.gnome.TextEditor.desktop", "", 42u}, "org.gnome.TextEditor|-|42"},
        {{"", "Anthyapp", 4194305u}, "-|Anthyapp|0"},
        {{huge, "d\uFFFDe", 7u}, "-|-|7"},
        {{"a", "b", 7}, "refused"},
        {{"a", "b"}, "refused"},
    };
    for (const auto& c : focusCases) {
        const auto focus = focusOf(ask("GetFocus", c.reply));
        EXPECT_EQ(!focus ? "refused"
                         : focus->desktopId.value_or("-") + "|" + focus->wmClass.value_or("-") +
                               "|" + std::to_string(focus->pid),
                  c.read);
    }
    // GNOME's word on the extension, for "velmora desktop".
    const std::pair<QVariantMap, ExtensionState> stateCases[] = {
        {{}, ExtensionState::NotInstalled},
        {{{"state", 1.0}}, ExtensionState::Enabled},
        {{{"state", 6.0}}, ExtensionState::Disabled},
        {{{"state", 99.0}}, ExtensionState::NotInstalled},
        {{{"state", "1"}}, ExtensionState::Unknown},
        {{{"state", 3.0}}, ExtensionState::Failed}};
    for (const auto& [info, state] : stateCases)
        EXPECT_EQ(extensionStateOf(ask("GetExtensionInfo", info)), state) << int(state);
}

// Only gnome-shell's connection opens the settings. The name is the first agent's alone, taken
// over from a command line asking the extension at that moment.
TEST(GnomeUntrustedInput, OnlyGnomeShellOpensTheSettings) {
    PrivateBus bus;
    QDBusConnection shell = bus.connect("shell");
    ASSERT_TRUE(shell.registerService(kShellService));
    QDBusConnection commandLine = bus.connect("command-line");
    ASSERT_TRUE(borrowAgentName(commandLine));
    GnomeAgentService service(bus.connect("agent"));
    std::string error;
    ASSERT_TRUE(service.start(&error)) << error;
    int shown = 0;
    service.setShowSettings([&] { ++shown; });
    GnomeAgentService second(bus.connect("second"));
    EXPECT_FALSE(second.start(&error));
    EXPECT_NE(error.find("another program owns"), std::string::npos) << error;
    EXPECT_FALSE(borrowAgentName(commandLine));
    const auto show = [&](const char* caller) {
        QDBusPendingCall call = bus.connect(caller).asyncCall(QDBusMessage::createMethodCall(
            kAgentService, kAgentPath, kAgentInterface, "ShowSettings"));
        waitFor([&] { return call.isFinished(); });
        return call.isError() ? call.error().name().toStdString() : "shown";
    };
    EXPECT_EQ(show("stranger"), "org.freedesktop.DBus.Error.AccessDenied");
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(show("shell"), "shown");
    EXPECT_EQ(shown, 1);
}

} // namespace
} // namespace velmora::gnome

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    qDBusRegisterMetaType<WireInputSource>();
    qDBusRegisterMetaType<QList<WireInputSource>>();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
