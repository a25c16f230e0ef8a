// How and when changes reach the disk.

#include "plist_file_defaults.h"
#include "store_test_support.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace velmora {
namespace {

using namespace store_test;

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

TEST(StoreWriting, EachWriteReplacesTheWholeFilePrivateInPrivateFoldersAndLeavesNothingBehind) {
    TempFolder folder;
    const std::string path = folder.file("config/velmora/settings.plist");
    PlistFileDefaults store(path);
    store.objectForKey("anything");
    store.synchronize();
    EXPECT_TRUE(folder.entries().empty()) << "a missing file stays missing until a write";

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

TEST(StoreWriting, UnflushedChangesReachTheFileOnTheirOwnAndAtDestruction) {
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

} // namespace
} // namespace velmora
