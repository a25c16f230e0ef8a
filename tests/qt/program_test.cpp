// SPDX-License-Identifier: MIT
// The command line of the velmora program and its rule commands on a real settings file.

#include "command_line.h"
#include "fcitx5/fcitx5_input_sources.h"
#include "fcitx5/fcitx5_replies.h"
#include "rule_checks.h"
#include "rule_commands.h"
#include "store/plist_file_defaults.h"
#include "temp_folder.h"

#include <QDBusVariant>

#include <gtest/gtest.h>

#include <sstream>

namespace velmora::program {
namespace {

using test_support::TempFolder;

using Kind = Command::Kind;

TEST(CommandLine, MistakesAreInvalidWithAReason) {
    EXPECT_EQ(parseCommandLine({"-h"}).kind, Kind::Help);
    EXPECT_TRUE(parseCommandLine({"sources", "--all"}).allSources);
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"rule"},
                                               {"rule", "XTerm"},
                                               {"rule", "XTerm", "xkb:us", "extra"},
                                               {"rule", "", "xkb:us"},
                                               {"rule", "XTerm", ""},
                                               {"rules", "extra"},
                                               {"sources", "--every"},
                                               {"--version", "extra"},
                                               {"--autostart", "extra"},
                                               {"--verbose"},
                                               {"start"}}) {
        Command command = parseCommandLine(arguments);
        EXPECT_EQ(command.kind, Kind::Invalid) << ::testing::PrintToString(arguments);
        EXPECT_FALSE(command.error.empty()) << ::testing::PrintToString(arguments);
    }
}

TEST(RuleChecks, UnknownIdsAreRefusedWithTheClosestId) {
    const std::vector<KnownSource> keymap{{"xkb:us", "English (US)"}, {"xkb:group2", "Group 2"}};
    const std::vector<NamedLayout> registry{{"us", "", "English (US)"},
                                            {"de", "", "German"},
                                            {"de", "nodeadkeys", "German (no dead keys)"},
                                            {"ru", "", "Russian"}};
    // Fcitx5 runs, IBus does not: Fcitx5's names are checked, IBus's only by their form.
    const std::vector<KnownSource> fcitx5{{"fcitx5:keyboard-us", "Keyboard - English (US)"},
                                          {"fcitx5:pinyin", "Pinyin"}};
    for (const char* fine : {"xkb:us", "xkb:de", "xkb:de(nodeadkeys)", "xkb:group2",
                             "com.apple.keylayout.German", "fcitx5:pinyin", "ibus:anthy"})
        EXPECT_FALSE(refuseSourceId(fine, keymap, registry, fcitx5)) << fine;
    EXPECT_FALSE(refuseSourceId("fcitx5:mozc", keymap, registry)) << "no Fcitx5: the form";
    EXPECT_FALSE(refuseSourceId("xkb:fr(azerty)", keymap, {})) << "no registry: the form is enough";
    for (const auto& [id, closest] : std::vector<std::pair<std::string, std::string>>{
             {"de", "xkb:de"},
             {"German", "xkb:de"},
             {"russ", "xkb:ru"},
             {"XKB:ru", "xkb:ru"},
             {"xkb:us(", "xkb:us"},
             {"xkb:de(nodeadkey)", "xkb:de(nodeadkeys)"},
             {"xkb:fr", ""},
             {"xkb:group3", "xkb:group2"},
             {"ibus:", ""},
             {"fcitx5:two words", ""},
             {"fcitx5:pinjin", "fcitx5:pinyin"},
             {"fcitx5:mozc", ""},
             {"qwertyuiop", ""}}) {
        auto refusal = refuseSourceId(id, keymap, registry, fcitx5);
        ASSERT_TRUE(refusal) << id;
        EXPECT_EQ(refusal->closest.value_or(""), closest) << id;
        EXPECT_NE(refusal->reason.find("\"" + id + "\""), std::string::npos) << refusal->reason;
    }
}

TEST(RuleChecks, UnseenNamesGetTheirNearest) {
    const std::vector<std::string> known{"org.gnome.Nautilus", "XTerm", "MailApp"};
    EXPECT_EQ(closestName("mailapp", known), "MailApp");
    EXPECT_EQ(closestName("Term", known), "XTerm");
    EXPECT_EQ(closestName("org.gnome.Nautilis", known), "org.gnome.Nautilus");
    EXPECT_FALSE(closestName("MailApp", known)) << "known: nothing to suggest";
    EXPECT_FALSE(closestName("Firefox", known));
}

class RuleCommands : public ::testing::Test {
  protected:
    std::string path() const { return (folder_.root() / "settings.plist").string(); }
    std::string listed() {
        PlistFileDefaults store(path());
        Settings settings(store);
        std::ostringstream out;
        printRules(settings, out);
        return out.str();
    }

    TempFolder folder_{"velmora-rules"};
};

TEST_F(RuleCommands, SetAndRemoveKeepTheRecordsOtherKeys) {
    {
        PlistFileDefaults store(path());
        Settings settings(store);
        settings.updateRuleRecord(
            "XTerm", [](PlistDictionary& record) { record[record::kEnglishSymbol] = "1"; });
        setRule(settings, "XTerm", "xkb:de");
        removeRule(settings, "XTerm");
    }
    // What another process reads back from the file.
    PlistFileDefaults store(path());
    Settings settings(store);
    EXPECT_FALSE(settings.ruleInputSourceID("XTerm"));
    EXPECT_EQ(settings.rules().at("XTerm").find(record::kEnglishSymbol)->string()[0], "1");
}

TEST_F(RuleCommands, RecordsWithoutAStringIdListAsNoLayout) {
    {
        PlistFileDefaults store(path());
        store.setObjectForKey(
            PlistDictionary{{"Numbers", PlistDictionary{{"id", 7}}}, {"Empty", PlistDictionary{}}},
            "velmora");
    }
    EXPECT_EQ(listed(), "Empty\t-\nNumbers\t-\n");
}

TEST(Fcitx5Replies, RepliesOfTheWrongShapeAreNone) {
    using namespace fcitx5;
    const auto call = QDBusMessage::createMethodCall("s", "/p", "i", "m");
    EXPECT_FALSE(stringReply(call.createReply(QVariant(7)), 256));
    EXPECT_FALSE(stringReply(call.createReply(QString(300, 'x')), 256)) << "too long";
    EXPECT_FALSE(stringReply(call.createErrorReply("org.e.Failed", "no"), 256));
    EXPECT_FALSE(groupReply(call.createReply(QVariantList{"us", "pinyin"})));
    EXPECT_FALSE(availableReply(call.createReply(QStringList{"pinyin"})));
}

TEST(Fcitx5Replies, ShareInputStateIsReadFromTheGlobalConfig) {
    const auto call = QDBusMessage::createMethodCall("s", "/p", "i", "m");
    auto config = [&](const QVariant& state) {
        return call.createReply(QVariant::fromValue(QDBusVariant(QVariantMap{
            {"Hotkey", QVariantMap{}}, {"Behavior", QVariantMap{{"ShareInputState", state}}}})));
    };
    EXPECT_EQ(fcitx5::shareInputStateReply(config("All")), "All");
    EXPECT_FALSE(fcitx5::shareInputStateReply(config(3)));
    EXPECT_FALSE(fcitx5::shareInputStateReply(
        call.createReply(QVariant::fromValue(QDBusVariant(QString("All"))))));
}

TEST(Fcitx5Replies, TheFocusedContextIsReadFromDebugInfo) {
    EXPECT_EQ(fcitx5::focusedContexts("Group [x11::0] has 2 InputContext(s)\n"
                                      "  IC [b1] program:B frontend:dbus cap:2 focus:0\n"
                                      "  IC [a2] program:A frontend:dbus cap:2 focus:1\n"
                                      "Input Context without group\n  IC [c3 focus:1"),
              (std::map<std::string, std::string>{{"a2", "A"}}));
    EXPECT_EQ(fcitx5::focusedContexts("  IC [d4] frontend:dbus focus:1\n"
                                      "  IC [e5] program:E frontend:x focus:1"),
              (std::map<std::string, std::string>{{"d4", ""}, {"e5", "E"}}));
}

TEST(Fcitx5Replies, LayoutIdsNameTheirKeyboards) {
    using namespace fcitx5;
    EXPECT_EQ(keyboardNameOfLayoutId("xkb:de"), "keyboard-de");
    EXPECT_EQ(keyboardNameOfLayoutId("xkb:de(nodeadkeys)"), "keyboard-de-nodeadkeys");
    for (const char* other : {"xkb:", "xkb:de(", "xkb:()", "fcitx5:pinyin", "de"})
        EXPECT_FALSE(keyboardNameOfLayoutId(other)) << other;
    const std::vector<InputMethodEntry> available{{"keyboard-de-neo", "Keyboard - German", "k"}};
    EXPECT_EQ(sourceOf("keyboard-de-neo", available).iconRef, "velmora-badge:de(neo)");
}

TEST(Fcitx5Replies, ALayoutIsTheSameSourceAsItsKeyboard) {
    fcitx5::Fcitx5InputSources sources(
        QDBusConnection(QStringLiteral("velmora-no-bus")), [](DesktopBroadcast) {},
        [](const std::string&) {});
    EXPECT_TRUE(sources.isSameSource("xkb:us", "fcitx5:keyboard-us"));
    EXPECT_TRUE(sources.isSameSource("xkb:de(neo)", "fcitx5:keyboard-de-neo"));
    EXPECT_TRUE(sources.isSameSource("fcitx5:pinyin", "fcitx5:pinyin"));
    EXPECT_FALSE(sources.isSameSource("xkb:de", "fcitx5:keyboard-us"));
    EXPECT_FALSE(sources.isSameSource("xkb:us", "fcitx5:pinyin"));
}

} // namespace
} // namespace velmora::program
