// The command line of the velmora program and its rule commands on a real settings file.

#include "command_line.h"
#include "plist_file_defaults.h"
#include "rule_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace velmora::program {
namespace {

using Kind = Command::Kind;

Command parse(std::vector<std::string> arguments) {
    return parseCommandLine(arguments);
}

TEST(CommandLine, EachCommandWithItsArguments) {
    EXPECT_EQ(parse({}).kind, Kind::RunAgent);
    EXPECT_EQ(parse({"--help"}).kind, Kind::Help);
    EXPECT_EQ(parse({"-h"}).kind, Kind::Help);
    EXPECT_EQ(parse({"sources"}).kind, Kind::Sources);
    EXPECT_EQ(parse({"apps"}).kind, Kind::Apps);
    EXPECT_EQ(parse({"rules"}).kind, Kind::Rules);
    Command set = parse({"rule", "org.gnome.TextEditor", "xkb:de(nodeadkeys)"});
    EXPECT_EQ(set.kind, Kind::SetRule);
    EXPECT_EQ(set.app, "org.gnome.TextEditor");
    EXPECT_EQ(set.sourceId, "xkb:de(nodeadkeys)");
    Command remove = parse({"rule", "XTerm", "-"});
    EXPECT_EQ(remove.kind, Kind::RemoveRule);
    EXPECT_EQ(remove.app, "XTerm");
}

TEST(CommandLine, MistakesAreInvalidWithAReason) {
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"rule"},
                                               {"rule", "XTerm"},
                                               {"rule", "XTerm", "xkb:us", "extra"},
                                               {"rule", "", "xkb:us"},
                                               {"rule", "XTerm", ""},
                                               {"rules", "extra"},
                                               {"--verbose"},
                                               {"start"}}) {
        Command command = parse(arguments);
        EXPECT_EQ(command.kind, Kind::Invalid) << arguments[0];
        EXPECT_FALSE(command.error.empty()) << arguments[0];
    }
}

class RuleCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("velmora-rules-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string path() const { return (folder_ / "settings.plist").string(); }
    std::string listed() {
        PlistFileDefaults store(path());
        Settings settings(store);
        std::ostringstream out;
        printRules(settings, out);
        return out.str();
    }

    std::filesystem::path folder_;
};

TEST_F(RuleCommands, SetAndRemoveKeepTheRecordAndItsOtherKeys) {
    {
        PlistFileDefaults store(path());
        Settings settings(store);
        settings.updateRuleRecord(
            "XTerm", [](PlistDictionary& record) { record[record::kEnglishSymbol] = "1"; });
        setRule(settings, "XTerm", "xkb:de");
        setRule(settings, "Firefox", "xkb:us");
        removeRule(settings, "Firefox");
    }
    // What another process reads back from the file.
    PlistFileDefaults store(path());
    Settings settings(store);
    EXPECT_EQ(settings.ruleInputSourceID("XTerm"), "xkb:de");
    EXPECT_EQ(settings.rules().at("XTerm").find(record::kEnglishSymbol)->string()[0], "1");
    EXPECT_FALSE(settings.ruleInputSourceID("Firefox"));
    EXPECT_TRUE(settings.rules().contains("Firefox"));
    EXPECT_EQ(listed(), "Firefox\t-\nXTerm\txkb:de\n");
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

} // namespace
} // namespace velmora::program
