// Autostart folders that cannot be written or read: one clear line, no entry, no crash.
#include "xdg_autostart_login_items.h"
#include "xdg_test_support.h"

#include <gtest/gtest.h>

namespace velmora::xdg {
namespace {

using namespace xdg_test;

class AutostartBadFolder : public ::testing::Test {
  protected:
    XdgAutostartLoginItems items(const std::string& folder) {
        return XdgAutostartLoginItems(folder, "com.quorvant.Quorvant-Velmora",
                                      [this](const std::string& line) { logged.push_back(line); });
    }
    // Adds the program; what came back and what was logged, one line.
    std::string insertInto(const std::string& folder) {
        auto list = items(folder).create();
        if (!list)
            return "no list; " + (logged.empty() ? "" : logged.back());
        LoginItemPtr item = list->insertItemURLLast(program);
        return (item ? "added; " : "refused; ") + std::to_string(logged.size()) + " line(s); " +
               (logged.empty() ? "" : logged.back());
    }

    TempFolder home;
    std::string program = makeProgram(home.file("bin/velmora"));
    std::vector<std::string> logged;
};

TEST_F(AutostartBadFolder, ReadOnlyFolderRefusesTheEntry) {
    const std::string folder = home.file("autostart");
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const std::string outcome = runUnprivileged(home.path(), [&] { return insertInto(folder); });
    EXPECT_EQ(outcome, "refused; 1 line(s); cannot write the autostart entry " + folder +
                           "/com.quorvant.Quorvant-Velmora.desktop: Permission denied");
    EXPECT_TRUE(fs::is_empty(folder)); // no temporary file left behind
}

TEST_F(AutostartBadFolder, AFileInPlaceOfTheFolderOrAFolderInPlaceOfTheEntryRefusesIt) {
    writeFile(home.file("autostart"), "a file");
    EXPECT_EQ(insertInto(home.file("autostart")),
              "refused; 1 line(s); cannot create the autostart folder " + home.file("autostart") +
                  ": Not a directory");
    EXPECT_EQ(insertInto(home.file("autostart/below")),
              "refused; 2 line(s); cannot create the autostart folder " +
                  home.file("autostart/below") + ": " + home.file("autostart") +
                  ": Not a directory");
    EXPECT_EQ(readFile(home.file("autostart")), "a file");
    // A folder in place of the entry itself.
    fs::create_directories(home.file("other/com.quorvant.Quorvant-Velmora.desktop/x"));
    EXPECT_EQ(insertInto(home.file("other")).rfind("refused; 3 line(s); cannot write", 0), 0u)
        << logged.back();
    EXPECT_TRUE(fs::exists(home.file("other/com.quorvant.Quorvant-Velmora.desktop/x")));
}

TEST_F(AutostartBadFolder, UnreadableFolderCannotBeOpened) {
    const std::string folder = home.file("autostart");
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::none);
    EXPECT_EQ(runUnprivileged(home.path(), [&] { return insertInto(folder); }),
              "no list; cannot list the autostart folder " + folder + ": Permission denied");
    EXPECT_EQ(insertInto("relative/autostart").rfind("no list; cannot use the autostart", 0), 0u);
}

TEST_F(AutostartBadFolder, AMissingFolderIsAnEmptyListAndTheProgramPathMustBeAbsoluteText) {
    auto list = items(home.file("none/autostart")).create();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->copySnapshot().empty());
    EXPECT_FALSE(fs::exists(home.file("none")));
    EXPECT_EQ(insertInto(home.file("autostart")).rfind("added", 0), 0u);
    program = "velmora";
    EXPECT_EQ(insertInto(home.file("autostart")).rfind("refused; 1 line(s)", 0), 0u);
    program = "/opt/\xFF/velmora";
    EXPECT_EQ(insertInto(home.file("autostart")).rfind("refused; 2 line(s)", 0), 0u);
}

} // namespace
} // namespace velmora::xdg
