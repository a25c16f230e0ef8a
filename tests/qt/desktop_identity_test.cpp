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

TEST(DesktopEntryParsing, OnlyTheMainGroupIsReadUnescaped) {
    auto entry = parseDesktopEntry("# comment\n"
                                   "[Desktop Entry]\n"
                                   "Name = Text\\sEditor\n"
                                   "StartupWMClass=Gedit\r\n"
                                   "[Desktop Action New]\n"
                                   "StartupWMClass=Other\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->names.at(""), "Text Editor");
    EXPECT_EQ(entry->startupWMClass, "Gedit");
    // Hidden or groupless files are no entries.
    EXPECT_FALSE(parseDesktopEntry("[Desktop Entry]\nName=Gone\nHidden=true\n"));
    EXPECT_FALSE(parseDesktopEntry("Name=No group\n"));
}

TEST(DesktopEntryParsing, LocalizedNamesFallBackStepByStep) {
    DesktopEntry serbian;
    serbian.names = {{"", "Plain"},
                     {"sr", "Serbian"},
                     {"sr_RS", "Serbia"},
                     {"sr@latin", "Latin"},
                     {"sr_RS@latin", "Serbia Latin"}};
    for (auto [locale, name] :
         std::vector<std::pair<const char*, const char*>>{{"sr_RS.UTF-8@latin", "Serbia Latin"},
                                                          {"sr_ME.UTF-8@latin", "Latin"},
                                                          {"sr_RS.UTF-8", "Serbia"},
                                                          {"sr_ME", "Serbian"},
                                                          {"C", "Plain"}})
        EXPECT_EQ(localizedName(serbian, locale), name) << locale;
}

// Earlier folders win, subfolders make dashed ids, and a new entry makes the index stale.
TEST(DesktopEntryIndexes, EarlierFoldersWin) {
    TempFolder folder("velmora-desktop");
    const auto& root = folder.root();
    folder.write("home/applications/editor.desktop", "[Desktop Entry]\nName=Mine\n");
    folder.write("system/applications/editor.desktop",
                 "[Desktop Entry]\nName=System\nStartupWMClass=Ed\n");
    folder.write("system/applications/kde4/okular.desktop", "[Desktop Entry]\nName=Okular\n");
    // The user hiding an entry hides the system one.
    folder.write("home/applications/spam.desktop", "[Desktop Entry]\nHidden=true\n");
    folder.write("system/applications/spam.desktop",
                 "[Desktop Entry]\nName=Spam\nStartupWMClass=Spam\n");
    auto index = DesktopEntryIndex::scan({root / "home/applications", root / "missing",
                                          root / "system/applications", root / "later"});
    EXPECT_EQ(index.findById("editor")->names.at(""), "Mine");
    // The hidden system file's StartupWMClass does not leak through the user's copy.
    EXPECT_EQ(index.findByStartupWMClass("Ed"), nullptr);
    EXPECT_NE(index.findById("kde4-okular"), nullptr);
    EXPECT_EQ(index.findByStartupWMClass("Spam"), nullptr);
    EXPECT_EQ(index.size(), 2u);
    EXPECT_FALSE(index.isStale());
    folder.write("later/two.desktop", "[Desktop Entry]\nName=Two\n");
    EXPECT_TRUE(index.isStale());
}

// Bare classes, nameless and own windows are driven end to end in tests/e2e/identity.sh.
class Identity : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_.write("apps/org.gnome.TextEditor.desktop",
                      "[Desktop Entry]\nName=Text "
                      "Editor\nName[de]=Texteditor\nStartupWMClass=gnome-text-editor\n");
        folder_.write("apps/firefox-esr.desktop",
                      "[Desktop Entry]\nName=Firefox ESR\nStartupWMClass=Firefox-esr\n");
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

TEST_F(Identity, EveryKindOfHintFindsTheDesktopFile) {
    WindowIdentityHints gtk;
    gtk.gtkApplicationId = "org.gnome.TextEditor";
    gtk.wmClassClass = "Firefox-esr"; // the application id wins over the class
    EXPECT_EQ(identify(gtk).bundleIdentifier, "org.gnome.TextEditor");
    WindowIdentityHints byClass;
    byClass.wmClassClass = "gnome-text-editor";
    byClass.fallbackKey = "pid:1";
    EXPECT_EQ(identify(byClass).key, identify(gtk).key); // one key whichever hint found it
    WindowIdentityHints kde;
    kde.kdeDesktopFile = "/usr/share/applications/org.kde.okular.desktop";
    EXPECT_EQ(identify(kde).bundleIdentifier, "org.kde.okular");
    // StartupWMClass is compared exactly.
    WindowIdentityHints unknown;
    unknown.gtkApplicationId = "org.example.NotInstalled";
    unknown.wmClassClass = "Gnome-text-editor";
    EXPECT_FALSE(identify(unknown).desktopFilePath);
}

} // namespace
} // namespace velmora::x11
