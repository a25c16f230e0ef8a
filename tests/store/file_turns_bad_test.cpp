// The settings file turns bad while the store is in use: nothing read before is lost, and the
// bad file is kept. Also the read-only store, which never changes anything on disk.

#include "engine/settings.h"
#include "plist_file_defaults.h"
#include "store_test_support.h"

#include <atomic>
#include <climits>
#include <gtest/gtest.h>
#include <regex>
#include <thread>

namespace velmora {
namespace {

using namespace store_test;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using Access = PlistFileDefaults::Access;

std::string rulesFile(const std::string& editorId, const std::string& terminalId) {
    return xmlDictionary("<key>velmora</key><dict>"
                         "<key>org.example.editor</key><dict>" +
                         stringEntry("id", editorId) +
                         "</dict>"
                         "<key>org.example.terminal</key><dict>" +
                         stringEntry("id", terminalId) + "</dict></dict>\n" +
                         stringEntry("followWindow", "yes"));
}

const std::string kGarbage = "<plist><dict><key>velmora</key><dict><key>oops";

int linesOf(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class StoreFileTurnsBad : public testing::Test {
  protected:
    std::string path() const { return folder_.file("settings.plist"); }
    std::vector<std::string> corruptCopies() const {
        std::vector<std::string> copies;
        for (const auto& name : folder_.entries())
            if (name != "settings.plist")
                copies.push_back(folder_.file(name));
        return copies;
    }

    TempFolder folder_;
};

// Another program writes garbage in place, or empties the file: reads keep the last good
// settings, and the next write saves them with the changes, beside a copy of the bad file (an
// empty one holds nothing to keep), saying so once.
TEST_F(StoreFileTurnsBad, ReadsKeepTheLastGoodSettingsAndTheNextWriteSavesThemBesideTheBadFile) {
    for (const std::string& bad : {std::string(), kGarbage}) { // empty first: it leaves no copy
        SCOPED_TRACE(bad.empty() ? "emptied" : "garbage");
        replaceFile(path(), rulesFile("xkb:de", "xkb:ru"));
        PlistFileDefaults store(path());
        Settings settings(store);
        ASSERT_EQ(settings.ruleInputSourceID("org.example.editor"), "xkb:de");

        CaptureStderr();
        writeFile(path(), bad);
        EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "xkb:de");
        EXPECT_EQ(settings.ruleInputSourceID("org.example.terminal"), "xkb:ru");
        if (!bad.empty()) {
            EXPECT_NE(store.problem(), "");
        }
        store.removeObjectForKey("followWindow");
        store.setObjectForKey(7, "changedTimes");
        EXPECT_EQ(store.objectForKey("changedTimes"), PlistValue(7));
        EXPECT_EQ(readFile(path()), bad) << "reading alone changes nothing on disk";
        EXPECT_TRUE(corruptCopies().empty());

        store.synchronize();
        store.setObjectForKey(8, "changedTimes");
        store.synchronize(); // a second write says nothing more
        const std::string message = GetCapturedStderr();

        PlistFileDefaults reader(path(), Access::ReadOnly);
        Settings saved(reader);
        EXPECT_EQ(reader.problem(), "");
        EXPECT_EQ(saved.ruleInputSourceID("org.example.editor"), "xkb:de");
        EXPECT_EQ(saved.ruleInputSourceID("org.example.terminal"), "xkb:ru");
        EXPECT_EQ(reader.objectForKey("changedTimes"), PlistValue(8));
        EXPECT_FALSE(reader.objectForKey("followWindow"));
        EXPECT_EQ(linesOf(message), 1) << message;
        EXPECT_EQ(message.rfind("velmora: ", 0), 0u) << message;
        EXPECT_NE(message.find("kept the last good settings"), std::string::npos) << message;
        const auto copies = corruptCopies();
        if (bad.empty()) {
            EXPECT_TRUE(copies.empty()) << "nothing to keep in an empty file";
            EXPECT_NE(message.find(path() + " was empty"), std::string::npos) << message;
            continue;
        }
        ASSERT_EQ(copies.size(), 1u) << message;
        EXPECT_TRUE(
            std::regex_match(copies[0], std::regex(R"(.*/settings\.plist\.corrupt-\d{8}T\d{6})")));
        EXPECT_EQ(readFile(copies[0]), kGarbage);
        EXPECT_NE(message.find(path() + " "), std::string::npos) << message;
        EXPECT_NE(message.find(copies[0]), std::string::npos) << message;
    }
}

TEST_F(StoreFileTurnsBad, AGoodFileWrittenBeforeTheNextWriteIsReadAndNothingIsMoved) {
    replaceFile(path(), rulesFile("xkb:de", "xkb:ru"));
    PlistFileDefaults store(path());
    Settings settings(store);
    CaptureStderr();
    replaceFile(path(), "not a property list");
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "xkb:de");
    replaceFile(path(), rulesFile("xkb:us", "xkb:ru"));
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "xkb:us");
    EXPECT_EQ(store.problem(), "");
    store.setObjectForKey(1, "changedTimes");
    store.synchronize();
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_TRUE(corruptCopies().empty());
    PlistFileDefaults reader(path(), Access::ReadOnly);
    EXPECT_EQ(Settings(reader).ruleInputSourceID("org.example.editor"), "xkb:us");
    EXPECT_EQ(reader.objectForKey("changedTimes"), PlistValue(1));
}

TEST_F(StoreFileTurnsBad, ABadFileThatCannotBeMovedAsideIsNeverWrittenUntilItChanges) {
    // No room is left for the suffix of the copy, so the rename fails even for root.
    const std::string longPath = folder_.file(std::string(NAME_MAX - 4, 's'));
    replaceFile(longPath, rulesFile("xkb:de", "xkb:ru"));
    PlistFileDefaults store(longPath);
    Settings settings(store);
    CaptureStderr();
    writeFile(longPath, kGarbage);
    store.setObjectForKey(3, "changedTimes");
    store.synchronize();
    store.setObjectForKey(4, "changedTimes");
    store.synchronize();
    const std::string message = GetCapturedStderr();
    EXPECT_EQ(readFile(longPath), kGarbage);
    EXPECT_EQ(folder_.entries().size(), 1u);
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "xkb:de");
    EXPECT_EQ(linesOf(message), 1) << message;
    EXPECT_NE(message.find("could not be moved aside"), std::string::npos) << message;

    replaceFile(longPath, rulesFile("xkb:us", "xkb:ru")); // the user repairs it
    EXPECT_EQ(store.problem(), "");
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "xkb:us");
    EXPECT_EQ(store.objectForKey("changedTimes"), PlistValue(4)) << "still pending";
}

// Readers on other threads while the file keeps turning bad and good again and the store
// writes: every version of the file either holds the rule or cannot be used, so no reader may
// ever find the rule missing.
TEST_F(StoreFileTurnsBad, ReadersOnOtherThreadsNeverLoseTheRules) {
    replaceFile(path(), rulesFile("xkb:de", "xkb:ru"));
    PlistFileDefaults store(path());
    std::atomic<bool> done{false};
    std::atomic<int> missing{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 3; ++i)
        readers.emplace_back([&] {
            Settings settings(store);
            while (!done)
                if (settings.ruleInputSourceID("org.example.terminal") != "xkb:ru")
                    ++missing;
        });
    CaptureStderr();
    for (int round = 0; round < 20; ++round) {
        writeFile(path(), round % 2 ? "" : kGarbage);
        store.setObjectForKey(round, "changedTimes");
        if (round % 3 == 0)
            store.synchronize();
        if (round % 4 == 0)
            replaceFile(path(), rulesFile("xkb:de", "xkb:ru"));
    }
    done = true;
    for (auto& reader : readers)
        reader.join();
    store.synchronize();
    GetCapturedStderr();
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(Settings(store).ruleInputSourceID("org.example.terminal"), "xkb:ru");
}

// The read-only store: it says nothing, writes nothing and moves nothing; the caller learns
// what was wrong from problem().
TEST(StoreReadOnly, ChangesNothingOnDiskAndKeepsTheLastGoodSettingsOverABadVersion) {
    TempFolder folder;
    const std::string path = folder.file("velmora/settings.plist");
    CaptureStderr();
    {
        PlistFileDefaults store(path, Access::ReadOnly);
        EXPECT_EQ(store.problem(), "");
        EXPECT_FALSE(store.objectForKey("velmora"));
        store.setObjectForKey(true, "followWindow");
        store.synchronize();
    }
    EXPECT_TRUE(folder.entries().empty()) << "not even the folder";

    writeFile(folder.file("empty.plist"), "");
    PlistFileDefaults empty(folder.file("empty.plist"), Access::ReadOnly);
    EXPECT_EQ(empty.problem(), "");
    EXPECT_FALSE(empty.objectForKey("velmora"));

    // A file truncated from the start: said in problem() alone, and left exactly as it is.
    const std::string valid = rulesFile("xkb:de", "xkb:ru");
    const std::string truncated = valid.substr(0, valid.size() / 2);
    writeFile(folder.file("settings.plist"), truncated);
    {
        PlistFileDefaults store(folder.file("settings.plist"), Access::ReadOnly);
        EXPECT_NE(store.problem(), "");
        EXPECT_FALSE(store.objectForKey("velmora"));
        store.setObjectForKey(1, "changedTimes");
        store.synchronize();
    }
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"empty.plist", "settings.plist"}));
    EXPECT_EQ(readFile(folder.file("settings.plist")), truncated);

    // Later versions are seen; a bad one keeps the settings read before.
    replaceFile(folder.file("settings.plist"), valid);
    PlistFileDefaults store(folder.file("settings.plist"), Access::ReadOnly);
    Settings settings(store);
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "xkb:de");
    replaceFile(folder.file("settings.plist"), kGarbage);
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "xkb:de");
    EXPECT_NE(store.problem(), "");
    replaceFile(folder.file("settings.plist"), rulesFile("xkb:us", "xkb:ru"));
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "xkb:us");
    EXPECT_EQ(store.problem(), "");
    EXPECT_EQ(readFile(folder.file("settings.plist")), rulesFile("xkb:us", "xkb:ru"));
    EXPECT_EQ(GetCapturedStderr(), "");
}

} // namespace
} // namespace velmora
