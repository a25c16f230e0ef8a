// SPDX-License-Identifier: MIT
// Files the store cannot use, and other programs changing the file; the read-only store, which
// never changes anything on disk.

#include "engine/settings.h"
#include "store/plist_file_defaults.h"
#include "store_test_support.h"

#include <atomic>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>
#include <thread>

namespace velmora {
namespace {

using namespace store_test;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using Access = PlistFileDefaults::Access;

std::string rulesFile(const std::string& editorId, const std::string& terminalId) {
    auto rule = [](const std::string& app, const std::string& id) {
        return "<key>" + app + "</key><dict>" + stringEntry("id", id) + "</dict>";
    };
    return xmlDictionary("<key>velmora</key><dict>" + rule("org.example.editor", editorId) +
                         rule("org.example.terminal", terminalId) + "</dict>\n" +
                         stringEntry("followWindow", "yes"));
}

const std::string kGarbage = "<plist><dict><key>velmora</key><dict><key>oops";

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

// Another program empties the file: reads keep the last good settings, and the next write saves
// them with the changes, saying so once; there is nothing to keep beside it. (Garbage written in
// place, set aside at the next write: tests/e2e/settings_edit.sh.)
TEST_F(StoreFileTurnsBad, AnEmptiedFileKeepsTheLastGoodSettings) {
    replaceFile(path(), rulesFile("xkb:de", "xkb:ru"));
    PlistFileDefaults store(path());
    Settings settings(store);
    ASSERT_EQ(settings.ruleInputSourceID("org.example.editor"), "xkb:de");
    CaptureStderr();
    writeFile(path(), "");
    EXPECT_EQ(settings.ruleInputSourceID("org.example.terminal"), "xkb:ru");
    store.removeObjectForKey("followWindow");
    store.setObjectForKey(7, "changedTimes");
    store.synchronize();
    store.setObjectForKey(8, "changedTimes");
    store.synchronize(); // a second write says nothing more
    EXPECT_EQ(oneMessageWith(GetCapturedStderr(), {path() + " was empty", "kept the last good"}),
              "");
    PlistFileDefaults reader(path(), Access::ReadOnly);
    EXPECT_EQ(Settings(reader).ruleInputSourceID("org.example.editor"), "xkb:de");
    EXPECT_EQ(reader.objectForKey("changedTimes"), PlistValue(8));
    EXPECT_FALSE(reader.objectForKey("followWindow"));
    EXPECT_TRUE(corruptCopies().empty());
}

// Bad when the store opens it, then bad again later: memory only, said once each time, until
// the user repairs it.
TEST_F(StoreFileTurnsBad, ABadFileThatCannotBeMovedAsideIsNeverWritten) {
    // No room is left for the suffix of the copy, so the rename fails even for root.
    const std::string longPath = folder_.file(std::string(NAME_MAX - 4, 's'));
    writeFile(longPath, "not a plist");
    CaptureStderr();
    PlistFileDefaults store(longPath);
    store.setObjectForKey(1, "changedTimes");
    store.synchronize();
    EXPECT_EQ(store.objectForKey("changedTimes"), PlistValue(1));
    EXPECT_EQ(oneMessageWith(GetCapturedStderr(), {"could not be moved aside"}), "");
    EXPECT_EQ(readFile(longPath), "not a plist");

    replaceFile(longPath, rulesFile("xkb:de", "xkb:ru"));
    Settings settings(store);
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "xkb:de");
    CaptureStderr();
    writeFile(longPath, kGarbage);
    store.setObjectForKey(3, "changedTimes");
    store.synchronize();
    store.setObjectForKey(4, "changedTimes");
    store.synchronize();
    EXPECT_EQ(oneMessageWith(GetCapturedStderr(), {"could not be moved aside"}), "");
    EXPECT_EQ(readFile(longPath), kGarbage);
    EXPECT_EQ(folder_.entries().size(), 1u);
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "xkb:de");

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

// The read-only store of the one-shot commands: it says nothing, writes nothing and moves
// nothing. An empty file is no problem. (A bad file left as it is, the problem said by the
// command: tests/e2e/program.sh.)
TEST(StoreReadOnly, ChangesNothingOnDisk) {
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

    // An empty file is an empty domain, left in place by either store.
    writeFile(folder.file("empty.plist"), "");
    for (Access access : {Access::ReadOnly, Access::ReadWrite}) {
        PlistFileDefaults empty(folder.file("empty.plist"), access);
        EXPECT_EQ(empty.problem(), "");
        EXPECT_FALSE(empty.objectForKey("velmora"));
    }

    EXPECT_EQ(GetCapturedStderr(), "");
}

const std::string kValid = xmlDictionary(stringEntry("followWindow", "yes"));

struct BadContents {
    const char* name;
    std::string bytes;
    // Where the message puts the mistake (the XML reader's view); "" when it cannot say.
    std::string where;
};

class StoreBadFile : public testing::TestWithParam<BadContents> {};

TEST_P(StoreBadFile, IsMovedAsideAndTheStoreStartsEmpty) {
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    writeFile(path, GetParam().bytes);
    CaptureStderr();
    std::vector<std::string> heard;
    PlistFileDefaults store(path, Access::ReadWrite,
                            [&](const std::string& line) { heard.push_back(line); });
    EXPECT_FALSE(store.objectForKey("followWindow"));
    const std::string message = GetCapturedStderr();
    EXPECT_EQ(heard, std::vector<std::string>{message.substr(9, message.size() - 10)})
        << "the observer hears the line said on standard error";
    EXPECT_NE(message.find(GetParam().where), std::string::npos) << message;
    if (GetParam().where.empty()) {
        EXPECT_EQ(message.find("line "), std::string::npos) << message;
    }

    const auto entries = folder.entries();
    ASSERT_EQ(entries.size(), 1u) << message;
    EXPECT_TRUE(
        std::regex_match(entries[0], std::regex(R"(settings\.plist\.corrupt-\d{8}T\d{6})")));
    const std::string aside = folder.file(entries[0]);
    EXPECT_EQ(readFile(aside), GetParam().bytes);
    EXPECT_EQ(oneMessageWith(message, {path + " ", aside}), "");

    store.setObjectForKey(true, "followWindow");
    store.synchronize();
    EXPECT_EQ(PlistFileDefaults(path).objectForKey("followWindow"), PlistValue(true));
}

INSTANTIATE_TEST_SUITE_P(
    Contents, StoreBadFile,
    testing::Values(
        BadContents{"Garbage", "this is not a property list\n",
                    "line 1, column 1: start tag expected"},
        BadContents{"MismatchedTag", xmlDictionary("<key>a</key>\n  <string>b</strin>\n"),
                    "line 5, column 19: opening and ending tag mismatch"},
        BadContents{"UnknownElement", xmlDictionary("<key>a</key><True/>\n"),
                    "line 4, column 19: <True> is no element of a property list"},
        BadContents{"ValueWithoutKey", xmlDictionary(stringEntry("a", "b") + "<false/>"),
                    "line 5, column 8: <false> in a dictionary without its <key>"},
        BadContents{"BinaryGarbage", std::string("bplist00\xd1\x01\x02\x00\xff", 13), ""},
        BadContents{"NulBytes", std::string("\0\0\0\x7f", 4), "line 1, column 1: "},
        BadContents{"WhitespaceOnly", "\n  \n", "line 3, column 1: premature end of document"},
        BadContents{"TopLevelArray", "<plist><array><string>x</string></array></plist>", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A truncated file: tests/e2e/program.sh.

// Run as a user that the file's mode keeps out: root reads files whatever their mode.
TEST(StoreBadFileCases, AnUnreadableFileIsMovedAside) {
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    writeFile(path, kValid);
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    const std::string result = runUnprivileged(folder.file(""), [&] {
        std::string problems;
        CaptureStderr();
        PlistFileDefaults store(path);
        if (store.objectForKey("followWindow"))
            problems += "read; ";
        if (GetCapturedStderr().find("cannot be opened") == std::string::npos)
            problems += "no message; ";
        if (folder.entries().size() != 1 || folder.entries()[0] == "settings.plist")
            problems += "not moved aside; ";
        return problems;
    });
    EXPECT_EQ(result, "");
}

TEST(StoreExternalChange, ARewrittenFileIsSeenByTheNextRead) {
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    replaceFile(path, rulesFile("aaa", "xkb:ru"));
    PlistFileDefaults store(path);
    Settings settings(store);
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "aaa");
    // A file renamed over it: tests/e2e/settings_edit.sh. Same size, same file; the time stamp
    // moves by whole seconds for coarse file systems.
    writeFile(path, rulesFile("ccc", "xkb:ru"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    timespec times[2] = {st.st_atim, st.st_mtim};
    times[1].tv_sec += 5;
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "ccc");

    ASSERT_EQ(std::remove(path.c_str()), 0);
    EXPECT_FALSE(store.objectForKey("velmora")) << "a deleted file is an empty domain";
}

TEST(StoreExternalChange, UnwrittenLocalChangesWinOverAReload) {
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    replaceFile(path, xmlDictionary(stringEntry("mine", "old") + stringEntry("dropped", "old")));
    PlistFileDefaults store(path);
    store.setObjectForKey("local", "mine");
    store.removeObjectForKey("dropped");

    replaceFile(path,
                xmlDictionary(stringEntry("mine", "theirs") + stringEntry("dropped", "theirs") +
                              stringEntry("other", "theirs")));
    EXPECT_EQ(store.objectForKey("mine"), PlistValue("local"));
    EXPECT_FALSE(store.objectForKey("dropped"));
    EXPECT_EQ(store.objectForKey("other"), PlistValue("theirs"));

    // The other program writes once more between our last read and our write.
    replaceFile(path,
                xmlDictionary(stringEntry("other", "newer") + stringEntry("dropped", "newer")));
    store.synchronize();
    PlistFileDefaults reader(path);
    EXPECT_EQ(reader.objectForKey("mine"), PlistValue("local"));
    EXPECT_FALSE(reader.objectForKey("dropped"));
    EXPECT_EQ(reader.objectForKey("other"), PlistValue("newer"));
}

} // namespace
} // namespace velmora
