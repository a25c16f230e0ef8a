// Another program changes the file: the next read sees it, and nothing this process has not
// written yet is lost.

#include "engine/settings.h"
#include "plist_file_defaults.h"
#include "store_test_support.h"

#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace velmora {
namespace {

using namespace store_test;

std::string rulesFile(const std::string& id) {
    return xmlDictionary("<key>velmora</key><dict><key>org.example.editor</key><dict>" +
                         stringEntry("id", id) + "</dict></dict>\n");
}

TEST(StoreExternalChange, ReplacedOrRewrittenFileIsSeenByTheNextRead) {
    TempFolder folder;
    const std::string path = folder.file("settings.plist");
    replaceFile(path, rulesFile("aaa"));
    PlistFileDefaults store(path);
    Settings settings(store);
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "aaa");

    replaceFile(path, rulesFile("bbb"));
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "bbb");

    // Same size, same file; the time stamp moves by whole seconds for coarse file systems.
    writeFile(path, rulesFile("ccc"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    timespec times[2] = {st.st_atim, st.st_mtim};
    times[1].tv_sec += 5;
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(settings.ruleInputSourceID("org.example.editor"), "ccc");
    EXPECT_TRUE(store.objectForKey("velmora"));

    ASSERT_EQ(std::remove(path.c_str()), 0);
    EXPECT_FALSE(store.objectForKey("velmora")) << "a deleted file is an empty domain";
}

TEST(StoreExternalChange, UnwrittenLocalChangesWinOverAReloadAndAreMergedOnWrite) {
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
