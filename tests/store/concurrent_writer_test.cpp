// Another program swaps in new versions of the settings file a hundred times a second while
// the store reads, changes and writes it every few milliseconds: neither side's keys may be
// lost and nothing is judged bad. (In-place rewrites, half-written versions included, are
// agent_beside_rewriter.sh's, with the same other program.) And processes of this program
// writing at once.

#include "plist_merge.h"
#include "store/plist_file_defaults.h"
#include "store_test_support.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace velmora {
namespace {

using namespace store_test;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

constexpr int kVersions = 150; // of the other program's, one every 10 ms

// Every 10 ms the other program adds a key of its own, sets all of them and swaps in a file
// with every other key it found. Exits 1 when a version it found was not a dictionary.
[[noreturn]] void otherProgram(const std::string& path) {
    auto next = std::chrono::steady_clock::now();
    for (int keys = 1; keys <= kVersions; ++keys, next += std::chrono::milliseconds(10)) {
        std::this_thread::sleep_until(next);
        if (!writeOtherVersion(path, keys, false, {}))
            ::_exit(1);
    }
    ::_exit(0);
}

TEST(StoreConcurrentWriter, NeitherSideLosesKeysAndNothingIsJudgedBad) {
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    PlistFileDefaults(path).setObjectForKey("yes", "kept");
    const pid_t other = ::fork();
    if (other == 0)
        otherProgram(path);
    int status = 0, mine = 0;
    CaptureStderr();
    {
        PlistFileDefaults store(path);
        for (; ::waitpid(other, &status, WNOHANG) == 0; ++mine) {
            store.setObjectForKey(mine, "mine" + std::to_string(mine));
            if (mine % 5 == 4)
                store.synchronize(); // the others reach the file through the background writer
            store.objectForKey("other0");
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
        // After the other program's last write: this write must keep all of its keys.
        store.setObjectForKey("yes", "done");
        store.synchronize();
    }
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a corrupt file: " << status;

    PlistFileDefaults reader(path, PlistFileDefaults::Access::ReadOnly);
    ASSERT_EQ(reader.problem(), "");
    int lostMine = 0, lostOthers = 0;
    for (int k = 0; k < mine; ++k)
        lostMine += reader.objectForKey("mine" + std::to_string(k)) != PlistValue(k);
    for (int k = 0; k < kVersions; ++k)
        lostOthers += reader.objectForKey("other" + std::to_string(k)) != PlistValue(k);
    EXPECT_EQ(lostMine, 0) << "of " << mine;
    EXPECT_EQ(lostOthers, 0) << "of " << kVersions;
    EXPECT_EQ(reader.objectForKey("kept"), PlistValue("yes"));
    EXPECT_EQ(reader.objectForKey("done"), PlistValue("yes"));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"settings.plist"});
}

// Processes of this program change entries of one dictionary at once, each reading, changing
// and writing it the way "velmora rule" does: exclusive stores take turns from the read to the
// write, so no process writes back a copy that misses another's entry.
TEST(StoreExclusiveWriters, ProcessesChangingOneDictionaryAtOnceLoseNoEntry) {
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
