// SPDX-License-Identifier: MIT
// Desktop files and the application identity of a window.

#include "platform/application.h"
#include "temp_folder.h"
#include "x11/app_identity.h"
#include "x11/desktop_entries.h"

#include <gtest/gtest.h>

namespace velmora::x11 {
namespace {

using test_support::TempFolder;

TEST(DesktopEntryParsing, OnlyTheMainGroupUnescapedAndLocalizedNamesFallBackStepByStep) {
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
    // Hidden or groupless files are no entries.
    EXPECT_FALSE(parseDesktopEntry("[Desktop Entry]\nName=Gone\nHidden=true\n"));
    EXPECT_FALSE(parseDesktopEntry("Name=No group\n"));
    EXPECT_TRUE(parseDesktopEntry("[Desktop Entry]\nName=Shown\nHidden=false\n"));

    DesktopEntry serbian;
    serbian.names = {{"", "Plain"},
                     {"sr", "Serbian"},
                     {"sr_RS", "Serbia"},
                     {"sr@latin", "Latin"},
                     {"sr_RS@latin", "Serbia Latin"}};
    EXPECT_EQ(localizedName(serbian, "sr_RS.UTF-8@latin"), "Serbia Latin");
    EXPECT_EQ(localizedName(serbian, "sr_ME.UTF-8@latin"), "Latin");
    EXPECT_EQ(localizedName(serbian, "sr_RS.UTF-8"), "Serbia");
    EXPECT_EQ(localizedName(serbian, "sr_ME"), "Serbian");
    EXPECT_EQ(localizedName(serbian, "fr_FR.UTF-8"), "Plain");
    EXPECT_EQ(localizedName(serbian, "C"), "Plain");
    EXPECT_EQ(localizedName(DesktopEntry{}, "de_DE"), "");
}

TEST(DesktopEntryIndexes, EarlierFoldersWinSubfoldersMakeDashedIdsAndNewEntriesMakeItStale) {
    TempFolder folder("velmora-desktop");
    const auto& root = folder.root();
    folder.write("home/applications/editor.desktop", "[Desktop Entry]\nName=Mine\n");
    folder.write("system/applications/editor.desktop",
                 "[Desktop Entry]\nName=System\nStartupWMClass=Ed\n");
    folder.write("system/applications/kde4/okular.desktop", "[Desktop Entry]\nName=Okular\n");
    folder.write("system/applications/notes.txt", "[Desktop Entry]\nName=Not a desktop file\n");
    // The user hiding an entry hides the system one.
    folder.write("home/applications/spam.desktop", "[Desktop Entry]\nHidden=true\n");
    folder.write("system/applications/spam.desktop",
                 "[Desktop Entry]\nName=Spam\nStartupWMClass=Spam\n");
    auto index = DesktopEntryIndex::scan({root / "home/applications", root / "missing",
                                          root / "system/applications", root / "later"});
    ASSERT_NE(index.findById("editor"), nullptr);
    EXPECT_EQ(index.findById("editor")->names.at(""), "Mine");
    // The hidden system file's StartupWMClass does not leak through the user's copy.
    EXPECT_EQ(index.findByStartupWMClass("Ed"), nullptr);
    ASSERT_NE(index.findById("kde4-okular"), nullptr);
    EXPECT_EQ(index.findById("spam"), nullptr);
    EXPECT_EQ(index.findByStartupWMClass("Spam"), nullptr);
    EXPECT_EQ(index.size(), 2u);
    EXPECT_FALSE(index.isStale());
    folder.write("later/two.desktop", "[Desktop Entry]\nName=Two\n");
    EXPECT_TRUE(index.isStale());
}

class Identity : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_.write("apps/org.gnome.TextEditor.desktop",
                      "[Desktop Entry]\nName=Text "
                      "Editor\nName[de]=Texteditor\nStartupWMClass=gnome-text-editor\n");
        folder_.write("apps/firefox-esr.desktop",
                      "[Desktop Entry]\nName=Firefox ESR\nStartupWMClass=Firefox-esr\n");
        folder_.write("apps/xterm.desktop", "[Desktop Entry]\nName=XTerm\n");
        folder_.write("apps/org.kde.okular.desktop", "[Desktop Entry]\nName=Okular\n");
        index_ = DesktopEntryIndex::scan({folder_.root() / "apps"});
    }
    AppIdentity identify(WindowIdentityHints hints, std::string_view locale = "C") {
        if (hints.fallbackKey.empty())
            hints.fallbackKey = "pid:42";
        return resolveIdentity(hints, index_, locale);
    }
    TempFolder folder_{"velmora-identity"};
    DesktopEntryIndex index_;
};

TEST_F(Identity, DesktopFileIdFromEachKindOfHintOneKeyWhicheverHintFoundIt) {
    WindowIdentityHints gtk;
    gtk.gtkApplicationId = "org.gnome.TextEditor";
    gtk.wmClassClass = "Firefox-esr"; // the application id wins over the class
    EXPECT_EQ(identify(gtk).bundleIdentifier, "org.gnome.TextEditor");
    EXPECT_EQ(identify(gtk, "de_DE.UTF-8").localizedName, "Texteditor");
    WindowIdentityHints byClass;
    byClass.wmClassClass = "gnome-text-editor";
    byClass.fallbackKey = "pid:1";
    EXPECT_EQ(identify(byClass).key, identify(gtk).key);

    WindowIdentityHints kde;
    kde.kdeDesktopFile = "/usr/share/applications/org.kde.okular.desktop";
    EXPECT_EQ(identify(kde).bundleIdentifier, "org.kde.okular");
}

TEST_F(Identity, UnknownHintsGiveTheClassAsItStandsAndNoHintsANamelessApplication) {
    WindowIdentityHints hints;
    hints.gtkApplicationId = "org.example.NotInstalled";
    hints.wmClassClass = "Gnome-text-editor"; // StartupWMClass is compared exactly
    AppIdentity identity = identify(hints);
    EXPECT_EQ(identity.bundleIdentifier, "Gnome-text-editor");
    EXPECT_EQ(identity.localizedName, "Gnome-text-editor");
    EXPECT_FALSE(identity.desktopFilePath);

    WindowIdentityHints first, second;
    first.fallbackKey = "pid:1";
    second.fallbackKey = "pid:2";
    EXPECT_FALSE(identify(first).bundleIdentifier);
    EXPECT_EQ(identify(first).localizedName, "");
    EXPECT_NE(identify(first).key, identify(second).key);
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

} // namespace
} // namespace velmora::x11
