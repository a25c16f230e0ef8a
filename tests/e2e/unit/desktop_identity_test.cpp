// Desktop files and the application identity of a window.

#include "app_identity.h"
#include "desktop_entries.h"
#include "platform/application.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace velmora::x11 {
namespace {

namespace fs = std::filesystem;

class TempFolders : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("velmora-desktop-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path write(const fs::path& relative, const std::string& text) {
        fs::path path = root_ / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
        return path;
    }
    fs::path root_;
};

TEST(DesktopEntryParsing, ReadsOnlyTheMainGroupAndUnescapes) {
    auto entry = parseDesktopEntry("# comment\n"
                                   "[Desktop Entry]\n"
                                   "Name = Text\\sEditor\n"
                                   "Name[de]=Texteditor\n"
                                   "StartupWMClass=Gedit\r\n"
                                   "[Desktop Action New]\n"
                                   "Name=New Window\n"
                                   "StartupWMClass=Other\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->names.at(""), "Text Editor");
    EXPECT_EQ(entry->names.at("de"), "Texteditor");
    EXPECT_EQ(entry->startupWMClass, "Gedit");
}

TEST(DesktopEntryParsing, HiddenOrGrouplessFilesAreNoEntries) {
    EXPECT_FALSE(parseDesktopEntry("[Desktop Entry]\nName=Gone\nHidden=true\n"));
    EXPECT_FALSE(parseDesktopEntry("Name=No group\n"));
    EXPECT_TRUE(parseDesktopEntry("[Desktop Entry]\nName=Shown\nHidden=false\n"));
}

TEST(DesktopEntryParsing, LocalizedNameFallsBackStepByStep) {
    DesktopEntry entry;
    entry.names = {{"", "Plain"},
                   {"sr", "Serbian"},
                   {"sr_RS", "Serbia"},
                   {"sr@latin", "Latin"},
                   {"sr_RS@latin", "Serbia Latin"}};
    EXPECT_EQ(localizedName(entry, "sr_RS.UTF-8@latin"), "Serbia Latin");
    EXPECT_EQ(localizedName(entry, "sr_ME.UTF-8@latin"), "Latin");
    EXPECT_EQ(localizedName(entry, "sr_RS.UTF-8"), "Serbia");
    EXPECT_EQ(localizedName(entry, "sr_ME"), "Serbian");
    EXPECT_EQ(localizedName(entry, "fr_FR.UTF-8"), "Plain");
    EXPECT_EQ(localizedName(entry, "C"), "Plain");
    EXPECT_EQ(localizedName(DesktopEntry{}, "de_DE"), "");
}

TEST_F(TempFolders, EarlierFoldersWinAndSubfoldersMakeDashedIds) {
    write("home/applications/editor.desktop", "[Desktop Entry]\nName=Mine\n");
    write("system/applications/editor.desktop",
          "[Desktop Entry]\nName=System\nStartupWMClass=Ed\n");
    write("system/applications/kde4/okular.desktop", "[Desktop Entry]\nName=Okular\n");
    write("system/applications/notes.txt", "[Desktop Entry]\nName=Not a desktop file\n");
    auto index = DesktopEntryIndex::scan(
        {root_ / "home/applications", root_ / "missing", root_ / "system/applications"});
    ASSERT_NE(index.findById("editor"), nullptr);
    EXPECT_EQ(index.findById("editor")->names.at(""), "Mine");
    // The hidden system file's StartupWMClass does not leak through the user's copy.
    EXPECT_EQ(index.findByStartupWMClass("Ed"), nullptr);
    ASSERT_NE(index.findById("kde4-okular"), nullptr);
    EXPECT_EQ(index.size(), 2u);
}

TEST_F(TempFolders, UserHidingAnEntryHidesTheSystemOne) {
    write("home/applications/spam.desktop", "[Desktop Entry]\nHidden=true\n");
    write("system/applications/spam.desktop", "[Desktop Entry]\nName=Spam\nStartupWMClass=Spam\n");
    auto index =
        DesktopEntryIndex::scan({root_ / "home/applications", root_ / "system/applications"});
    EXPECT_EQ(index.findById("spam"), nullptr);
    EXPECT_EQ(index.findByStartupWMClass("Spam"), nullptr);
}

TEST_F(TempFolders, StaleOnceAFolderGainsAnEntryOrAppears) {
    write("a/applications/one.desktop", "[Desktop Entry]\nName=One\n");
    auto index = DesktopEntryIndex::scan({root_ / "a/applications", root_ / "b/applications"});
    EXPECT_FALSE(index.isStale());
    write("b/applications/two.desktop", "[Desktop Entry]\nName=Two\n");
    EXPECT_TRUE(index.isStale());
}

class Identity : public TempFolders {
  protected:
    void SetUp() override {
        TempFolders::SetUp();
        write("apps/org.gnome.TextEditor.desktop",
              "[Desktop Entry]\nName=Text "
              "Editor\nName[de]=Texteditor\nStartupWMClass=gnome-text-editor\n");
        write("apps/firefox-esr.desktop",
              "[Desktop Entry]\nName=Firefox ESR\nStartupWMClass=Firefox-esr\n");
        write("apps/xterm.desktop", "[Desktop Entry]\nName=XTerm\n");
        write("apps/org.kde.okular.desktop", "[Desktop Entry]\nName=Okular\n");
        index_ = DesktopEntryIndex::scan({root_ / "apps"});
    }
    AppIdentity identify(WindowIdentityHints hints, std::string_view locale = "C") {
        if (hints.fallbackKey.empty())
            hints.fallbackKey = "pid:42";
        return resolveIdentity(hints, index_, locale);
    }
    DesktopEntryIndex index_;
};

TEST_F(Identity, DesktopFileIdFromEachKindOfHint) {
    WindowIdentityHints gtk;
    gtk.gtkApplicationId = "org.gnome.TextEditor";
    gtk.wmClassClass = "Firefox-esr"; // the application id wins over the class
    EXPECT_EQ(identify(gtk).bundleIdentifier, "org.gnome.TextEditor");
    EXPECT_EQ(identify(gtk, "de_DE.UTF-8").localizedName, "Texteditor");

    WindowIdentityHints kde;
    kde.kdeDesktopFile = "/usr/share/applications/org.kde.okular.desktop";
    EXPECT_EQ(identify(kde).bundleIdentifier, "org.kde.okular");

    WindowIdentityHints startupClass;
    startupClass.wmClassClass = "Firefox-esr";
    EXPECT_EQ(identify(startupClass).bundleIdentifier, "firefox-esr");
    EXPECT_EQ(identify(startupClass).localizedName, "Firefox ESR");

    WindowIdentityHints fileName;
    fileName.wmClassClass = "XTerm"; // xterm.desktop, ignoring case
    EXPECT_EQ(identify(fileName).bundleIdentifier, "xterm");
    EXPECT_TRUE(identify(fileName).desktopFilePath->ends_with("xterm.desktop"));
}

TEST_F(Identity, UnknownHintsFallBackToTheClassAsItStands) {
    WindowIdentityHints hints;
    hints.gtkApplicationId = "org.example.NotInstalled";
    hints.wmClassClass = "Gnome-text-editor"; // StartupWMClass is compared exactly
    AppIdentity identity = identify(hints);
    EXPECT_EQ(identity.bundleIdentifier, "Gnome-text-editor");
    EXPECT_EQ(identity.localizedName, "Gnome-text-editor");
    EXPECT_FALSE(identity.desktopFilePath);
}

TEST_F(Identity, WindowsWithoutHintsAreTheirOwnNamelessApplications) {
    WindowIdentityHints first, second;
    first.fallbackKey = "pid:1";
    second.fallbackKey = "pid:2";
    EXPECT_FALSE(identify(first).bundleIdentifier);
    EXPECT_EQ(identify(first).localizedName, "");
    EXPECT_NE(identify(first).key, identify(second).key);
    WindowIdentityHints emptyClass = first;
    emptyClass.wmClassClass = "";
    EXPECT_FALSE(identify(emptyClass).bundleIdentifier);
}

TEST_F(Identity, OwnWindowsAreTheAgentWhateverTheySay) {
    WindowIdentityHints hints;
    hints.wmClassClass = "XTerm";
    hints.ownWindow = true;
    AppIdentity identity = identify(hints);
    EXPECT_EQ(identity.bundleIdentifier, kOwnBundleIdentifier);
    EXPECT_EQ(identity.localizedName, kOwnDisplayName);
    // Seen from another process: by the class the agent gives its windows.
    WindowIdentityHints byClass;
    byClass.wmClassClass = kOwnBundleIdentifier;
    EXPECT_EQ(identify(byClass).localizedName, kOwnDisplayName);
    EXPECT_EQ(identify(byClass).key, identity.key);
}

TEST_F(Identity, SameApplicationSameKeyWhicheverHintFoundIt) {
    WindowIdentityHints byClass, byGtk;
    byClass.wmClassClass = "gnome-text-editor";
    byClass.fallbackKey = "pid:1";
    byGtk.gtkApplicationId = "org.gnome.TextEditor";
    byGtk.fallbackKey = "pid:2";
    EXPECT_EQ(identify(byClass).key, identify(byGtk).key);
}

} // namespace
} // namespace velmora::x11
