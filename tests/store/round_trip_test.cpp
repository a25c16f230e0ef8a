// SPDX-License-Identifier: MIT
// What goes into the file comes back out, whichever form the file was written in; how and
// when changes reach the disk, also from processes writing at once.

#include "store/plist_file_defaults.h"
#include "store/settings_path.h"
#include "store_test_support.h"

#include <chrono>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <plist/plist.h>
#include <regex>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace velmora {
namespace {

using namespace store_test;

TEST(StoreRoundTrip, EveryValueTypeSurvivesTheFile) {
    const PlistDictionary deepest{{"depth", 3}, {"empty", PlistDictionary{}}};
    const PlistValue value = PlistDictionary{
        {"text", "Русская — 日本語 ✓ <&>\"'"},
        {"", ""},
        {"integers", PlistArray{0, -42, std::numeric_limits<std::int64_t>::max(),
                                std::numeric_limits<std::int64_t>::min()}},
        {"reals", PlistArray{0.1, -1e300}},
        {"booleans", PlistArray{true, false}},
        {"nested", PlistDictionary{{"next", deepest}, {"empty list", PlistArray{}}}},
    };
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    {
        PlistFileDefaults writer(path);
        writer.setObjectForKey(value, "all");
        writer.setObjectForKey("gone soon", "removed");
        writer.synchronize();
        writer.removeObjectForKey("removed");
        writer.synchronize();
    }
    EXPECT_EQ(readFile(path).rfind("<?xml", 0), 0u) << "written as XML";
    PlistFileDefaults reader(path);
    EXPECT_EQ(reader.objectForKey("all"), value);
    EXPECT_FALSE(reader.objectForKey("removed"));
}

// XML as a binary property list, as libplist writes it.
std::string binaryOf(const std::string& xml) {
    plist_t root = nullptr;
    plist_from_xml(xml.data(), static_cast<std::uint32_t>(xml.size()), &root);
    char* bytes = nullptr; // libplist leaves a non-null pointer alone
    std::uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    plist_free(root);
    std::string binary = bytes ? std::string(bytes, length) : "";
    plist_to_bin_free(bytes);
    return binary;
}

// A binary file is read, and written back as XML. Entries of types the store does not use: read
// as text, written back unchanged. (Those that libplist cannot hand out or XML cannot hold as
// they are, NULs in keys and strings, dates out of range, UIDs, read as they are written back:
// the crash-* seeds of the settings_file fuzz target, which checks exactly that.)
TEST(StoreRoundTrip, OtherFormsAndTypesReadAsTheyAreWrittenBack) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string key;
        PlistValue expected;
        const char* written; // a pattern the file written back holds
    };
    const Case cases[] = {
        {"a binary file",
         binaryOf(xmlDictionary("<key>velmora</key><dict>" + stringEntry("id", "Ελληνικά") +
                                "<key>scale</key><real>1.25</real></dict>\n")),
         "velmora", PlistValue(PlistDictionary{{"id", "Ελληνικά"}, {"scale", 1.25}}),
         "<real>1.25</real>"},
        {"a date", xmlDictionary("<key>when</key><date>2026-12-06T10:15:00Z</date>\n"), "when",
         PlistValue("2026-12-06T10:15:00Z"), "<date>2026-12-06T10:15:00Z</date>"},
        {"data", xmlDictionary("<key>blob</key><array><data>aGVsbG8=</data><true/></array>\n"),
         "blob", PlistValue(PlistArray{"aGVsbG8=", true}), R"(<data>\s*aGVsbG8=\s*</data>)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string path = folder.file("settings.plist");
        writeFile(path, c.bytes);
        std::optional<PlistValue> shown;
        {
            PlistFileDefaults store(path);
            shown = store.objectForKey(c.key);
            EXPECT_EQ(shown, c.expected);
            store.setObjectForKey(1, "changedTimes");
        }
        PlistFileDefaults reread(path, PlistFileDefaults::Access::ReadOnly);
        EXPECT_EQ(reread.problem(), "");
        EXPECT_EQ(reread.objectForKey(c.key), shown) << readFile(path);
        EXPECT_TRUE(std::regex_search(readFile(path), std::regex(c.written))) << readFile(path);
    }
}

TEST(StoreRoundTrip, SettingsPathFollowsTheXdgRules) {
    const std::string tail = "/velmora/com.quorvant.Quorvant-Velmora.plist";
    EXPECT_EQ(store::settingsFilePathFor("/cfg", "/home/u"), "/cfg" + tail);
    EXPECT_EQ(store::settingsFilePathFor(nullptr, "/home/u"), "/home/u/.config" + tail);
    EXPECT_EQ(store::settingsFilePathFor("", "/home/u"), "/home/u/.config" + tail);
    EXPECT_EQ(store::settingsFilePathFor("relative/cfg", "/home/u"), "/home/u/.config" + tail);
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

TEST(StoreWriting, AMissingFileStaysMissingUntilAWrite) {
    TempFolder folder;
    PlistFileDefaults store(folder.file("config/velmora/settings.plist"));
    store.objectForKey("anything");
    store.synchronize();
    EXPECT_TRUE(folder.entries().empty());
}

TEST(StoreWriting, EachWriteSwapsInANewPrivateFile) {
    TempFolder folder;
    const std::string path = folder.file("config/velmora/settings.plist");
    PlistFileDefaults store(path);
    store.setObjectForKey("first", "k");
    store.synchronize();
    const ino_t first = statOf(path).st_ino;
    store.setObjectForKey("second", "k");
    store.synchronize();
    EXPECT_NE(statOf(path).st_ino, first) << "a new file is renamed over the old one";
    EXPECT_EQ(entriesOf(folder.file("config/velmora")), std::vector<std::string>{"settings.plist"});
    EXPECT_EQ(statOf(path).st_mode & 07777, 0600u);
    EXPECT_EQ(statOf(folder.file("config")).st_mode & 07777, 0700u);
    EXPECT_EQ(statOf(folder.file("config/velmora")).st_mode & 07777, 0700u);
}

TEST(StoreWriting, UnflushedChangesReachTheFileWithoutAFlush) {
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    {
        PlistFileDefaults store(path);
        store.setObjectForKey("soon", "background");
        EXPECT_EQ(store.objectForKey("background"), PlistValue("soon")) << "seen before written";
        // Due after a second; five leave room for a loaded machine.
        for (int i = 0; i < 500 && readFile(path).find("soon") == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_NE(readFile(path).find("soon"), std::string::npos);

        store.setObjectForKey("at exit", "last");
    }
    EXPECT_EQ(PlistFileDefaults(path).objectForKey("last"), PlistValue("at exit"));
}

// Processes of this program change entries of one dictionary at once, each reading, changing
// and writing it the way "velmora rule" does: exclusive stores take turns from the read to the
// write, so no process writes back a copy that misses another's entry.
TEST(StoreExclusiveWriters, ProcessesChangingOneDictionaryLoseNoEntry) {
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    constexpr int kProcesses = 4, kChanges = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (int c = 0; c < kChanges; ++c) {
                PlistFileDefaults store(path, PlistFileDefaults::Access::Exclusive);
                const auto rules = store.objectForKey("velmora");
                PlistDictionary all =
                    rules && rules->isDictionary() ? *rules->dictionary() : PlistDictionary{};
                all.insert_or_assign("app" + std::to_string(p) + "." + std::to_string(c),
                                     PlistValue(c));
                store.setObjectForKey(PlistValue(std::move(all)), "velmora");
                store.synchronize();
                if (store.hasUnsavedChanges())
                    ::_exit(1);
            }
            ::_exit(0);
        }
        ASSERT_GT(child, 0);
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    const auto rules =
        PlistFileDefaults(path, PlistFileDefaults::Access::ReadOnly).objectForKey("velmora");
    ASSERT_TRUE(rules && rules->isDictionary());
    EXPECT_EQ(rules->dictionary()->size(), static_cast<std::size_t>(kProcesses * kChanges));
}

} // namespace
} // namespace velmora
