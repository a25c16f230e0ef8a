// SPDX-License-Identifier: MIT
// The autostart folder as the login-items list: adding, finding and removing the program;
// folders that cannot be written or read (one clear line, no entry, no crash).
#include "menu/login_item.h"
#include "xdg/autostart_entry.h"
#include "xdg/xdg_autostart_login_items.h"
#include "xdg_test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace velmora::xdg {
namespace {

using namespace xdg_test;

constexpr const char* kId = "com.quorvant.Quorvant-Velmora";

class AutostartList : public ::testing::Test {
  protected:
    XdgAutostartLoginItems items(const std::string& folder = {}) {
        return XdgAutostartLoginItems(
            folder.empty() ? autostart : folder, kId,
            [this](const std::string& line) { logged.push_back(line); }, "--autostart");
    }
    std::unique_ptr<LoginItemsList> open() { return items().create(); }
    std::vector<std::string> snapshotNames() {
        std::vector<std::string> names;
        for (const LoginItemPtr& item : open()->snapshot())
            names.push_back(fs::path(dynamic_cast<AutostartItem&>(*item).path()).filename());
        return names;
    }
    // Adds the program to FOLDER; what came back and what was logged, one line.
    std::string insertInto(const std::string& folder) {
        auto list = items(folder).create();
        if (!list)
            return "no list; " + (logged.empty() ? "" : logged.back());
        LoginItemPtr item = list->appendItem(program);
        return (item ? "added; " : "refused; ") + std::to_string(logged.size()) + " line(s); " +
               (logged.empty() ? "" : logged.back());
    }

    TempFolder home;
    std::string autostart = home.file(".config/autostart");
    std::string program = makeProgram(home.file("bin/velmora"));
    std::vector<std::string> logged;
};
// Folders that cannot be written or read. Adding, the Exec line and removing are driven end to
// end in tests/e2e/settings_menu.sh, which also starts with an earlier version's entry.
using AutostartBadFolder = AutostartList;

TEST_F(AutostartList, TheFoldersMadeAreTheUsersAlone) {
    auto list = open();
    LoginItemPtr item = list->appendItem(program);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(fs::status(home.file(".config")).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(autostart).permissions(), fs::perms::owner_all);
    list->removeItem(*item);
    list->removeItem(*item); // gone already
    EXPECT_EQ(snapshotNames(), std::vector<std::string>{});
    EXPECT_EQ(logged, std::vector<std::string>{});
}

TEST_F(AutostartList, SortedEntriesAndTheFirstOneForTheProgramWins) {
    fs::create_directories(autostart + "/folder.desktop");
    writeFile(autostart + "/b-user.desktop", entry(program));
    writeFile(autostart + "/a-other.desktop", entry(makeProgram(home.file("bin/other"))));
    writeFile(autostart + "/notes.txt", entry(program));
    writeFile(autostart + "/.desktop", entry(program));
    ASSERT_EQ(::mkfifo((autostart + "/pipe.desktop").c_str(), 0600), 0);
    ASSERT_NE(open()->appendItem(program), nullptr);
    EXPECT_EQ(snapshotNames(), (std::vector<std::string>{"a-other.desktop", "b-user.desktop",
                                                         std::string(kId) + ".desktop"}));

    auto list = open();
    LoginItemPtr first = firstEntryFor(*list, program);
    ASSERT_NE(first, nullptr);
    list->removeItem(*first);
    EXPECT_EQ(snapshotNames(),
              (std::vector<std::string>{"a-other.desktop", std::string(kId) + ".desktop"}));
}

TEST_F(AutostartList, AddingReplacesTheFileOfOurName) {
    fs::create_directories(autostart);
    writeFile(autostart + "/" + kId + ".desktop", entry(makeProgram(home.file("old/velmora"))));
    ASSERT_NE(open()->appendItem(program), nullptr);
    ASSERT_NE(open()->appendItem(program), nullptr);
    EXPECT_EQ(snapshotNames(), std::vector<std::string>{std::string(kId) + ".desktop"});
    auto list = open();
    EXPECT_NE(firstEntryFor(*list, program), nullptr);
    EXPECT_EQ(entriesOf(autostart).size(), 1u);
}

TEST_F(AutostartList, RemovingASymlinkedEntryLeavesItsTarget) {
    fs::create_directories(autostart);
    writeFile(home.file("kept.desktop"), entry(program));
    fs::create_symlink(home.file("kept.desktop"), autostart + "/linked.desktop");
    fs::create_symlink(home.file("missing.desktop"), autostart + "/dangling.desktop");
    auto list = open();
    LoginItemPtr item = firstEntryFor(*list, program);
    ASSERT_NE(item, nullptr);
    list->removeItem(*item);
    EXPECT_EQ(snapshotNames(), std::vector<std::string>{"dangling.desktop"});
    EXPECT_EQ(readFile(home.file("kept.desktop")), entry(program));
}

TEST_F(AutostartBadFolder, ReadOnlyFolderRefusesTheEntry) {
    const std::string folder = home.file("autostart");
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const std::string outcome = runUnprivileged(home.path(), [&] { return insertInto(folder); });
    EXPECT_EQ(outcome, "refused; 1 line(s); cannot write the autostart entry " + folder +
                           "/com.quorvant.Quorvant-Velmora.desktop: Permission denied");
    EXPECT_TRUE(fs::is_empty(folder)); // no temporary file left behind
}

TEST_F(AutostartBadFolder, SomethingElseInPlaceOfTheFolderRefusesIt) {
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

TEST_F(AutostartBadFolder, AMissingFolderIsAnEmptyList) {
    auto list = items(home.file("none/autostart")).create();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->snapshot().empty());
    EXPECT_FALSE(fs::exists(home.file("none")));
}

TEST_F(AutostartBadFolder, TheProgramPathMustBeAbsoluteText) {
    for (std::string bad : {"velmora", "/opt/\xFF/velmora"}) {
        program = bad;
        EXPECT_EQ(insertInto(home.file("autostart")).rfind("refused; ", 0), 0u) << bad;
    }
}

// The update of an earlier entry itself: tests/e2e/settings_menu.sh.
TEST_F(AutostartList, AnEarlierEntryGetsTheArgumentAndKeepsTheRest) {
    fs::create_directories(autostart);
    const std::string ours = autostart + "/" + kId + ".desktop";
    // Blanks and line ends as editors leave them; the argument among other words.
    EXPECT_EQ(withExecArgument("[Desktop Entry]\r\n Exec = velmora %U \r\n", "--autostart"),
              "[Desktop Entry]\r\n Exec = velmora %U --autostart \r\n");
    EXPECT_EQ(withExecArgument(entry("velmora --autostart -v"), "--autostart"), std::nullopt);
    EXPECT_EQ(withExecArgument(entry("velmora --autostart-not"), "--autostart"),
              entry("velmora --autostart-not --autostart"));
    EXPECT_EQ(withExecArgument("[Desktop Entry]\nExecutable=x\n", "--autostart"), std::nullopt);

    // Left alone: hidden (switched off by the user), a symlink, no entry at all, not UTF-8.
    for (const std::string& text : {entry(program, "Hidden=true\n"), std::string("Exec=x\n"),
                                    entry(program, "Name=\xff\n")}) {
        writeFile(ours, text);
        EXPECT_FALSE(items().bringEntryUpToDate());
        EXPECT_EQ(readFile(ours), text);
    }
    fs::remove(ours);
    writeFile(home.file("kept.desktop"), entry(program));
    fs::create_symlink(home.file("kept.desktop"), ours);
    EXPECT_FALSE(items().bringEntryUpToDate());
    EXPECT_EQ(readFile(home.file("kept.desktop")), entry(program));
    EXPECT_EQ(logged, std::vector<std::string>{});
}

} // namespace
} // namespace velmora::xdg
