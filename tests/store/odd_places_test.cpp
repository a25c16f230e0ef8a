// SPDX-License-Identifier: MIT
// The settings file where writing is not plain: behind symbolic links, replaced by a folder, on
// a full disk, beside temporary files of killed writers. Nothing read or saved is lost, the old
// file is never destroyed, and each problem is said once, in one line starting with "velmora: ".

#include "store/plist_file_defaults.h"
#include "store_test_support.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <thread>
#include <unistd.h>

namespace velmora {
namespace {

using namespace store_test;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using Access = PlistFileDefaults::Access;

std::optional<PlistValue> savedValue(const std::string& path, const std::string& key) {
    return PlistFileDefaults(path, Access::ReadOnly).objectForKey(key);
}

// Links stay links and the file at their end is the one written: a chain of links to a file,
// and a link to a file not there yet, as dot-file managers make them before there is one.
TEST(StoreLinkedFile, LinksStayAndTheFileAtTheirEndIsWritten) {
    for (const std::string to :
         {"middle.plist", "dotfiles/velmora.plist", "dotfiles/missing/velmora.plist"}) {
        SCOPED_TRACE(to);
        const bool chain = to == "middle.plist";
        TempFolder folder;
        fs::create_directory(folder.file("dotfiles"));
        const std::string path = folder.file("settings.plist");
        const std::string target = folder.file(chain ? "dotfiles/velmora.plist" : to);
        if (chain) {
            writeFile(target, xmlDictionary(stringEntry("kept", "yes")));
            fs::create_symlink("dotfiles/velmora.plist", folder.file("middle.plist"));
        }
        fs::create_symlink(to, path);
        CaptureStderr();
        {
            PlistFileDefaults store(path);
            EXPECT_EQ(store.objectForKey("kept"),
                      chain ? PlistValue("yes") : std::optional<PlistValue>());
            store.setObjectForKey(true, "followWindow");
            store.synchronize();
            EXPECT_FALSE(store.hasUnsavedChanges());
        }
        EXPECT_EQ(GetCapturedStderr(), "");
        ASSERT_TRUE(fs::is_symlink(path)) << "the link was replaced";
        EXPECT_EQ(fs::read_symlink(path), to);
        EXPECT_EQ(savedValue(target, "followWindow"), PlistValue(true));
        EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(entriesOf(fs::path(target).parent_path()),
                  std::vector<std::string>{"velmora.plist"});
        if (chain) {
            EXPECT_EQ(fs::read_symlink(folder.file("middle.plist")), "dotfiles/velmora.plist");
            EXPECT_EQ(savedValue(target, "kept"), PlistValue("yes"));
        }
    }
}

TEST(StoreLinkedFile, ABadFileAtALinksEndIsMovedAsideBesideIt) {
    TempFolder folder;
    fs::create_directory(folder.file("dotfiles"));
    const std::string target = folder.file("dotfiles/velmora.plist");
    writeFile(target, "not a property list");
    const std::string path = folder.file("settings.plist");
    fs::create_symlink("dotfiles/velmora.plist", path);
    CaptureStderr();
    PlistFileDefaults store(path);
    store.setObjectForKey(true, "followWindow");
    store.synchronize();
    const std::string message = GetCapturedStderr();
    const auto entries = entriesOf(folder.file("dotfiles"));
    ASSERT_EQ(entries.size(), 2u) << message;
    const std::string aside = folder.file("dotfiles/" + entries[1]);
    EXPECT_EQ(oneMessageWith(message, {path + " ", aside}), "");
    EXPECT_EQ(readFile(aside), "not a property list");
    EXPECT_EQ(fs::read_symlink(path), "dotfiles/velmora.plist");
    EXPECT_EQ(savedValue(target, "followWindow"), PlistValue(true));
}

TEST(StoreLinkedFile, ALinkLoopIsMovedAsideAsItIs) {
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    fs::create_symlink("other.plist", path);
    fs::create_symlink("settings.plist", folder.file("other.plist"));
    CaptureStderr();
    {
        PlistFileDefaults store(path);
        store.setObjectForKey(true, "followWindow");
        store.synchronize();
    }
    const std::string message = GetCapturedStderr();
    const auto entries = folder.entries();
    ASSERT_EQ(entries.size(), 3u) << message;
    const std::string aside = folder.file(entries[2]); // settings.plist.corrupt-...
    EXPECT_EQ(oneMessageWith(message, {path + " ", "symbolic links", aside}), "");
    EXPECT_EQ(fs::read_symlink(aside), "other.plist");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path)));
    EXPECT_EQ(savedValue(path, "followWindow"), PlistValue(true));
}

TEST(StoreOddFile, AFolderInThePlaceOfTheFileIsMovedAside) {
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    fs::create_directory(path);
    writeFile(path + "/inside", "keep me");
    CaptureStderr();
    PlistFileDefaults store(path);
    store.setObjectForKey("yes", "kept");
    store.synchronize();
    const std::string message = GetCapturedStderr();
    const auto entries = folder.entries();
    ASSERT_EQ(entries.size(), 2u) << message;
    EXPECT_EQ(oneMessageWith(message, {path + " ", "not a regular file", folder.file(entries[1])}),
              "");
    EXPECT_EQ(readFile(folder.file(entries[1]) + "/inside"), "keep me");
    EXPECT_EQ(savedValue(path, "kept"), PlistValue("yes"));
}

// Unmounts on every way out of the test.
struct SmallDisk {
    explicit SmallDisk(std::string at) : path(std::move(at)) {
        fs::create_directory(path);
        mounted = ::mount("tmpfs", path.c_str(), "tmpfs", 0, "size=64k,mode=0700") == 0;
        error = errno;
    }
    ~SmallDisk() {
        if (mounted)
            ::umount2(path.c_str(), MNT_DETACH);
    }
    std::string path;
    bool mounted = false;
    int error = 0;
};

TEST(StoreOddFile, AFullDiskKeepsTheChangesUntilThereIsRoom) {
    TempFolder folder;
    SmallDisk disk(folder.file("disk"));
    if (!disk.mounted)
        GTEST_SKIP() << "no small file system to fill: mounting a tmpfs failed ("
                     << std::strerror(disk.error) << "); it takes root";
    const std::string path = disk.path + "/settings.plist";
    {
        PlistFileDefaults store(path);
        store.setObjectForKey("yes", "kept");
    }
    const std::string before = readFile(path);
    {
        std::ofstream filler(disk.path + "/filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), block.size()) && filler.flush()) {
        }
    }
    CaptureStderr();
    PlistFileDefaults store(path);
    store.setObjectForKey(std::string(16 * 1024, 'x'), "large");
    store.synchronize();
    store.setObjectForKey("more", "small");
    store.synchronize();
    EXPECT_NE(GetCapturedStderr(), ""); // what: tests/store/rule_cannot_save.sh
    EXPECT_TRUE(store.hasUnsavedChanges());
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(entriesOf(disk.path), (std::vector<std::string>{"filler", "settings.plist"}));

    // Room again: the store tries again on its own, without another change or a flush.
    fs::remove(disk.path + "/filler");
    for (int i = 0; i < 3000 && store.hasUnsavedChanges(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(store.hasUnsavedChanges());
    EXPECT_EQ(savedValue(path, "small"), PlistValue("more"));
    EXPECT_EQ(savedValue(path, "kept"), PlistValue("yes"));
}

// A writer killed between creating its temporary file and renaming it leaves the file behind:
// the next write removes such files, and only those.
TEST(StoreOddFile, TemporaryFilesOfKilledWritersGoAtTheNextWrite) {
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    writeFile(folder.file(".settings.plist.tmp-AbC123"), "half a version");
    writeFile(folder.file(".settings.plist.tmp-xYz789"), "");
    // A writer that is alive holds its temporary file locked.
    writeFile(folder.file(".settings.plist.tmp-living"), "being written");
    const int living = ::open(folder.file(".settings.plist.tmp-living").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(living, LOCK_EX), 0);
    writeFile(folder.file(".settings.plist.tmp-longer1"), "not a name the store makes");
    writeFile(folder.file(".other.plist.tmp-AbC123"), "another file's");
    fs::create_directory(folder.file(".settings.plist.tmp-folder"));
    fs::create_symlink("settings.plist", folder.file(".settings.plist.tmp-link01"));
    const auto others = std::vector<std::string>{
        ".other.plist.tmp-AbC123", ".settings.plist.tmp-folder", ".settings.plist.tmp-link01",
        ".settings.plist.tmp-living", ".settings.plist.tmp-longer1"};

    PlistFileDefaults store(path);
    store.objectForKey("followWindow");
    EXPECT_EQ(folder.entries().size(), others.size() + 2) << "reading removes nothing";
    store.setObjectForKey(true, "followWindow");
    store.synchronize();
    auto expected = others;
    expected.push_back("settings.plist");
    EXPECT_EQ(folder.entries(), expected);
    ::close(living);
}

} // namespace
} // namespace velmora
