// A file the store cannot use is moved aside and never overwritten.

#include "plist_file_defaults.h"
#include "store_test_support.h"

#include <climits>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

using namespace store_test;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

const std::string kValid = xmlDictionary(stringEntry("followWindow", "yes"));

struct BadContents {
    const char* name;
    std::string bytes;
    // Where the message puts the mistake (the XML reader's view); "" when it cannot say.
    std::string where;
};

class StoreBadFile : public testing::TestWithParam<BadContents> {};

TEST_P(StoreBadFile, IsMovedAsideWithAMessageAndTheStoreStartsEmpty) {
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    writeFile(path, GetParam().bytes);
    CaptureStderr();
    std::vector<std::string> heard;
    PlistFileDefaults store(path, PlistFileDefaults::Access::ReadWrite,
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
    EXPECT_EQ(message.rfind("velmora: ", 0), 0u) << message;
    EXPECT_NE(message.find(path + " "), std::string::npos) << message;
    EXPECT_NE(message.find(aside), std::string::npos) << message;
    EXPECT_EQ(message.find('\n'), message.size() - 1) << "one line: " << message;

    store.setObjectForKey(true, "followWindow");
    store.synchronize();
    EXPECT_EQ(readFile(aside), GetParam().bytes);
    EXPECT_EQ(PlistFileDefaults(path).objectForKey("followWindow"), PlistValue(true));
}

INSTANTIATE_TEST_SUITE_P(
    Contents, StoreBadFile,
    testing::Values(
        BadContents{"Garbage", "this is not a property list\n",
                    "line 1, column 1: start tag expected"},
        BadContents{"Truncated", kValid.substr(0, kValid.size() / 2),
                    "line 3, column 3: premature end of document"},
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

TEST(StoreBadFileCases, ABadFileFoundLaterIsMovedAsideAtTheNextWriteWithoutLosingChanges) {
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    writeFile(path, "broken once");
    CaptureStderr();
    std::vector<std::string> heard;
    PlistFileDefaults store(path, PlistFileDefaults::Access::ReadWrite,
                            [&](const std::string& line) { heard.push_back(line); });
    store.setObjectForKey("pending", "mine");
    writeFile(path, "broken twice, within the same second most likely");
    EXPECT_EQ(store.objectForKey("mine"), PlistValue("pending"));
    EXPECT_EQ(folder.entries().size(), 2u) << "only the first read moves a bad file at once";
    store.synchronize();
    GetCapturedStderr();
    ASSERT_EQ(heard.size(), 2u) << "the later bad file is heard of when it is moved aside";
    EXPECT_NE(heard[1].find("moved the bad file to"), std::string::npos) << heard[1];

    auto entries = folder.entries();
    ASSERT_EQ(entries.size(), 3u) << "the second copy set aside does not replace the first";
    EXPECT_EQ(readFile(folder.file(entries[1])) + readFile(folder.file(entries[2])),
              "broken oncebroken twice, within the same second most likely");
    EXPECT_EQ(PlistFileDefaults(path).objectForKey("mine"), PlistValue("pending"));
}

TEST(StoreBadFileCases, ABadFileThatCannotBeMovedAsideIsNeverWritten) {
    TempFolder folder;
    // No room is left for the suffix of the copy, so the rename fails even for root.
    const std::string path = folder.file(std::string(NAME_MAX - 4, 's'));
    writeFile(path, "not a plist");
    CaptureStderr();
    {
        PlistFileDefaults store(path);
        store.setObjectForKey("memory only", "k");
        store.synchronize();
        EXPECT_EQ(store.objectForKey("k"), PlistValue("memory only"));
    }
    const std::string message = GetCapturedStderr();
    EXPECT_EQ(readFile(path), "not a plist");
    EXPECT_EQ(folder.entries().size(), 1u);
    EXPECT_NE(message.find("could not be moved aside"), std::string::npos) << message;
    EXPECT_EQ(message.find('\n'), message.size() - 1) << "said once: " << message;
}

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

TEST(StoreBadFileCases, AnEmptyFileIsAnEmptyDomainAndStaysInPlace) {
    TempFolder folder;
    writeFile(folder.file("settings.plist"), "");
    CaptureStderr();
    PlistFileDefaults store(folder.file("settings.plist"));
    EXPECT_FALSE(store.objectForKey("followWindow"));
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"settings.plist"});
}

} // namespace
} // namespace velmora
