// SPDX-License-Identifier: MIT
// Which program an autostart file starts, for the files users and other programs leave there,
// and the Exec value's two layers of escapes, read and written.
#include "posix/desktop_entry_file.h"
#include "posix/xdg_base_dirs.h"
#include "xdg/autostart_entry.h"
#include "xdg/autostart_folder.h"
#include "xdg/exec_line.h"
#include "xdg_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

namespace velmora::xdg {
namespace {

using namespace xdg_test;

TEST(ExecLine, FirstWordOfTheFormsDesktopsWrite) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/usr/bin/editor %U", "/usr/bin/editor"},
        {"  /usr/bin/editor\t--new", "/usr/bin/editor"},
        {"\"/opt/My App/run\" --flag", "/opt/My App/run"},
        {"'/opt/single quoted/run' %f", "/opt/single quoted/run"},
        // In the file: a quoted backslash, escaped once for the quoting, once for the file.
        {"\"/opt/back\\\\\\\\slash\"", "/opt/back\\slash"},
        {"\"/opt/\\\\$HOME/\\\\\"q\\\\\"\"", "/opt/$HOME/\"q\""},
        {"/opt/100%%/run", "/opt/100%/run"},
        // \s is a blank of the string layer, so it ends the word.
        {"/opt/a\\sb", "/opt/a"},
        {"/opt/a\\\\ b", "/opt/a b"},
    };
    for (const auto& [value, program] : cases)
        EXPECT_EQ(execProgram(value), program) << value;
}

TEST(ExecLine, NoProgramInBrokenOrEmptyValues) {
    for (const char* value : {"", "   ", "%u", "/opt/run%f", "\"/opt/unterminated", "'/opt/x",
                              "\"\" --flag", "/opt/run\\"})
        EXPECT_EQ(execProgram(value), std::nullopt) << value;
}

TEST(ExecLine, WrittenValueStartsTheSameProgram) {
    for (const char* program :
         {"/usr/bin/velmora", "/opt/My Apps/velmora", "/opt/q\"uote/and'single", "/opt/$HOME/`x`",
          "/opt/back\\slash", "/opt/100%/run", "/opt/new\nline\tand\rreturn", "/opt/a=b/#c;d|e&f",
          "/opt/ünïcödé/ключ", "/opt/(paren)/*?~<>"})
        EXPECT_EQ(execProgram(execValueFor(program)), program) << execValueFor(program);
    // Plain paths stay readable for people and for desktops that read Exec loosely.
    EXPECT_EQ(execValueFor("/usr/local/bin/velmora"), "/usr/local/bin/velmora");
    EXPECT_EQ(execValueFor("/opt/a b").front(), '"');
}

class AutostartEntry : public ::testing::Test {
  protected:
    std::optional<std::string> resolve(const std::string& text,
                                       std::optional<std::string_view> path = std::nullopt) {
        writeFile(folder.file("entry.desktop"), text);
        return resolveAutostartEntry(folder.file("entry.desktop"), path);
    }

    TempFolder folder;
    std::string program = makeProgram(folder.file("bin/velmora"));
};

TEST_F(AutostartEntry, OnlyShownApplicationsWithAProgramCount) {
    EXPECT_EQ(resolve(entry(program)), program);
    EXPECT_EQ(resolve(entry(program, "Hidden=true\n")), std::nullopt);
    EXPECT_EQ(resolve(entry(program, "Hidden=false\n")), program);
    EXPECT_EQ(resolve("[Desktop Entry]\nType=Link\nExec=" + program + "\n"), std::nullopt);
    EXPECT_EQ(resolve("[Desktop Entry]\nExec=" + program + "\n"), std::nullopt);
    EXPECT_EQ(resolve("Type=Application\nExec=" + program + "\n"), std::nullopt);
    EXPECT_EQ(resolve("[Other]\nType=Application\nExec=" + program + "\n"), std::nullopt);
}

TEST_F(AutostartEntry, ExecThatDoesNotNameAProgramIsUnresolved) {
    writeFile(folder.file("bin/plain-file"), "data");
    for (const std::string& exec : std::vector<std::string>{
             folder.file("bin/missing"), folder.file("bin/plain-file"), folder.file("bin"),
             "env LANG=C " + program, "VAR=1 " + program, "sh -c '" + program + "'",
             "/bin/bash -c " + program, "bin/velmora", "%u"})
        EXPECT_EQ(resolve(entry(exec), folder.file("bin")), std::nullopt) << exec;
}

TEST_F(AutostartEntry, BareNamesAreLookedUpInPath) {
    const std::string second = makeProgram(folder.file("second/tool"));
    makeProgram(folder.file("third/tool"));
    writeFile(folder.file("first/tool"), "not executable");
    const std::string path = "relative/bin::" + folder.file("first") + ":" + folder.file("second") +
                             ":" + folder.file("third");
    EXPECT_EQ(resolve(entry("tool %U"), path), second);
    EXPECT_EQ(resolve(entry("velmora"), path), std::nullopt);
    EXPECT_EQ(resolve(entry("tool"), std::nullopt), std::nullopt);
}

TEST_F(AutostartEntry, SymlinksAreFollowedToTheRealProgram) {
    std::filesystem::create_symlink(program, folder.file("bin/velmora-link"));
    EXPECT_EQ(resolve(entry(folder.file("bin/velmora-link"))), program);

    std::filesystem::create_symlink(folder.file("nowhere.desktop"),
                                    folder.file("dangling.desktop"));
    EXPECT_EQ(resolveAutostartEntry(folder.file("dangling.desktop"), std::nullopt), std::nullopt);
    writeFile(folder.file("target.desktop"), entry(program));
    std::filesystem::create_symlink(folder.file("target.desktop"), folder.file("link.desktop"));
    EXPECT_EQ(resolveAutostartEntry(folder.file("link.desktop"), std::nullopt), program);
}

// Blanks, line ends and other groups: DesktopEntryParsing in tests/qt (the same reader).
TEST_F(AutostartEntry, FirstKeyAndFirstGroupWin) {
    const std::string other = makeProgram(folder.file("bin/other"));
    EXPECT_EQ(resolve(entry(program, "Exec=" + other + "\n")), program);
    EXPECT_EQ(resolve(entry(program, "[Desktop Entry]\nHidden=true\n")), program);
}

TEST_F(AutostartEntry, BrokenFilesAreUnresolved) {
    EXPECT_EQ(resolve(entry(program, "Name[xx]=\xC3\x28\n")), std::nullopt);
    EXPECT_EQ(resolve(entry(program) + std::string("\0\n", 2)), std::nullopt);
    std::string padded = entry(program) + "# ";
    EXPECT_EQ(resolve(padded + std::string(util::kMaxDesktopFileBytes - padded.size(), 'x')),
              program);
    EXPECT_EQ(resolve(padded + std::string(util::kMaxDesktopFileBytes, 'x')), std::nullopt);
    EXPECT_EQ(resolve(""), std::nullopt);
    ASSERT_EQ(::mkfifo(folder.file("pipe.desktop").c_str(), 0600), 0);
    EXPECT_EQ(resolveAutostartEntry(folder.file("pipe.desktop"), std::nullopt), std::nullopt);
}

// The configuration and data folders alike: a relative variable is ignored, and without HOME
// the password database's home folder is used.
TEST(AutostartFolder, XdgHomesCountOnlyWhenAbsolute) {
    EXPECT_EQ(autostartFolderFor("/cfg", "/home/u"), "/cfg/autostart");
    EXPECT_EQ(autostartFolderFor("", "/home/u"), "/home/u/.config/autostart");
    EXPECT_EQ(autostartFolderFor("relative/cfg", "/home/u"), "/home/u/.config/autostart");
    EXPECT_EQ(autostartFolderFor(nullptr, "/home/u"), "/home/u/.config/autostart");
    const std::string fromPasswords = autostartFolderFor(nullptr, "relative");
    EXPECT_TRUE(fromPasswords.empty() || fromPasswords.front() == '/') << fromPasswords;
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("XDG_DATA_HOME", "relative/data", 1);
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(util::dataHome(), "/home/u/.local/share");
    ::unsetenv("HOME");
    const std::string passwordsHome = fromPasswords.substr(0, fromPasswords.find("/.config/"));
    EXPECT_EQ(util::dataHome().value_or(""),
              passwordsHome.empty() ? "" : passwordsHome + "/.local/share");
    ::setenv("HOME", home.c_str(), 1);
}

} // namespace
} // namespace velmora::xdg
