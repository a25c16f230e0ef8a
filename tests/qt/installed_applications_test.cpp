// SPDX-License-Identifier: MIT
// Installed applications on Linux: desktop files in the XDG data folders stand for application
// bundles (their path, icon and name), and what the rule editor reads when the user adds one.

#include "application_choices.h"
#include "desktop_file_descriptions.h"
#include "platform/application.h"
#include "posix/desktop_entry_file.h"
#include "scoped_environment.h"
#include "temp_folder.h"
#include "x11/desktop_entries.h"
#include "x11/installed_applications.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace velmora {
namespace {

using test_support::ScopedEnvironment;
using test_support::TempFolder;

namespace fs = std::filesystem;

// Remembers what it was asked for; each answer is a new image.
class RecordingImages final : public Images {
  public:
    struct Picture final : Image {
        Size size() const override { return {1, 1}; }
        bool isTemplate() const override { return false; }
        void setTemplate(bool) override {}
    };
    ImagePtr imageWithIconRef(const std::string& ref) override {
        asked.push_back("theme " + ref);
        return ref == "missing" ? nullptr : std::make_shared<Picture>();
    }
    ImagePtr imageWithContentsOfURL(const std::string& url) override {
        asked.push_back("file " + url);
        return std::make_shared<Picture>();
    }
    std::optional<std::vector<std::uint8_t>> copyFirstImagePixelBytes(const Image&) override {
        return std::nullopt;
    }
    ImagePtr scaledImage(const Image&, Size) override { return nullptr; }
    std::vector<std::string> asked;
};

class InstalledApplicationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(root_ / "home/applications");
        fs::create_directories(root_ / "system/applications");
    }
    std::string write(const fs::path& relative, const std::string& text) {
        return folder_.write(relative, text);
    }

    TempFolder folder_{"velmora-installed"};
    const fs::path& root_ = folder_.root();
    ScopedEnvironment environment_{{"XDG_DATA_HOME", (root_ / "home").string()},
                                   {"XDG_DATA_DIRS", (root_ / "system").string()},
                                   {"LC_ALL", "de_DE.UTF-8"}};
    RecordingImages images_;
};

// Which copy of a desktop file counts: DesktopEntryIndexes in desktop_identity_test.cpp.
TEST_F(InstalledApplicationsTest, AnApplicationInstalledLaterIsFound) {
    x11::InstalledApplications installed(images_);
    EXPECT_EQ(installed.desktopFileForId("org.example.Later"), std::nullopt);
    const std::string later =
        write("system/applications/org.example.Later.desktop", "[Desktop Entry]\nName=L\n");
    EXPECT_EQ(installed.desktopFileForId("org.example.Later"), later);
}

TEST_F(InstalledApplicationsTest, TheDisplayNameIsInTheUsersLanguage) {
    const std::string post = write("system/applications/org.example.Post.desktop",
                                   "[Desktop Entry]\nName=Mail\nName[de]=Post\n");
    const std::string nameless =
        write("system/applications/x.desktop", "[Desktop Entry]\nExec=x\n");
    x11::InstalledApplications installed(images_);
    EXPECT_EQ(installed.displayNameOfDesktopFile(post), "Post");
    EXPECT_EQ(installed.displayNameOfDesktopFile(nameless), std::nullopt);
    EXPECT_EQ(installed.displayNameOfDesktopFile((root_ / "system").string()), std::nullopt);
}

// Icons missing, huge or folders: tests/e2e/identity.sh. A pipe would never end to be read.
TEST_F(InstalledApplicationsTest, IconsComeFromTheThemeOrARegularFile) {
    const std::string themed = write("system/applications/a.desktop",
                                     "[Desktop Entry]\nName=A\nIcon=accessories-text-editor\n");
    const std::string filed = write("system/applications/b.desktop",
                                    "[Desktop Entry]\nName=B\nIcon=" + (root_ / "b.png").string());
    const std::string real = write("b.png", "not really an image, but a file");
    ASSERT_EQ(mkfifo((root_ / "pipe.png").c_str(), 0600), 0);
    const std::string piped = write("system/applications/e.desktop",
                                    "[Desktop Entry]\nIcon=" + (root_ / "pipe.png").string());
    x11::InstalledApplications installed(images_);
    EXPECT_TRUE(installed.iconForDesktopFile(themed));
    EXPECT_TRUE(installed.iconForDesktopFile(filed));
    EXPECT_EQ(installed.iconForDesktopFile(piped), nullptr);
    EXPECT_EQ(images_.asked,
              (std::vector<std::string>{"theme accessories-text-editor", "file " + real}));
}

TEST_F(InstalledApplicationsTest, IconsAreKeptWhileTheFileIsTheSame) {
    const std::string themed =
        write("system/applications/a.desktop", "[Desktop Entry]\nName=A\nIcon=one\n");
    x11::InstalledApplications installed(images_);
    ImagePtr a = installed.iconForDesktopFile(themed);
    EXPECT_EQ(installed.iconForDesktopFile(themed), a);
    EXPECT_EQ(images_.asked.size(), 1u);
    // A changed file is read again.
    write("system/applications/a.desktop", "[Desktop Entry]\nName=A\nIcon=other\n");
    fs::last_write_time(themed, fs::last_write_time(themed) + std::chrono::seconds(5));
    EXPECT_NE(installed.iconForDesktopFile(themed), a);
    EXPECT_EQ(images_.asked.back(), "theme other");
}

TEST_F(InstalledApplicationsTest, DesktopIdsFollowTheFoldersThatHoldTheFiles) {
    const std::vector<fs::path> folders{root_ / "home/applications", root_ / "system/applications"};
    // A link into a folder is that folder's file.
    const std::string target = write("elsewhere/real.desktop", "[Desktop Entry]\nName=R\n");
    fs::create_directories(root_ / "system/applications/sub");
    fs::create_symlink(target, root_ / "system/applications/sub/linked.desktop");
    for (auto [path, id] : std::vector<std::pair<std::string, std::optional<std::string>>>{
             {"system/applications/kde4/okular.desktop", "kde4-okular"},
             {"Desktop/org.example.Mail.desktop", "org.example.Mail"},
             {"system/applications/../applications/a.desktop", "a"},
             {"system/applications/sub/linked.desktop", "sub-linked"},
             {"a.txt", std::nullopt},
             {".desktop", std::nullopt}})
        EXPECT_EQ(x11::desktopIdOf(root_ / path, folders), id) << path;
}

// A chosen desktop file is its id and name, a window class itself, a folder holding an
// Info.plist what that says; anything else is nothing.
TEST_F(InstalledApplicationsTest, AChosenPathDescribesItsApplicationOrNothing) {
    const std::string mail = write("system/applications/org.example.Mail.desktop",
                                   "[Desktop Entry]\nName=Mail\nName[de]=Post\n");
    const std::string bare =
        write("system/applications/org.example.Bare.desktop", "[Desktop Entry]\n");
    const std::string hidden =
        write("system/applications/org.example.Gone.desktop", "[Desktop Entry]\nHidden=true\n");
    write("Bundles/Mail.app/Contents/Info.plist",
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
          "<key>CFBundleIdentifier</key><string>com.example.mail</string>"
          "<key>CFBundleVersion</key><integer>3</integer></dict></plist>\n");
    write("Bundles/Junk.app/Contents/Info.plist", "\x01\x02not a plist");
    fs::create_directories(root_ / "Bundles/Piped.app/Contents");
    ASSERT_EQ(mkfifo((root_ / "Bundles/Piped.app/Contents/Info.plist").c_str(), 0600), 0);
    // Too large to be an Info.plist: not read.
    fs::resize_file(write("Bundles/Huge.app/Contents/Info.plist", ""),
                    program::DesktopFileDescriptions::kMaxInfoBytes + 1);
    const std::string program = write("bin/mailer", "#!/bin/sh\n");
    program::DesktopFileDescriptions files;
    // The chosen paths themselves, as the add button asks about them.
    auto described = [&](const std::string& path) {
        auto description = files.describeApplication(path);
        return description ? description->identifier + "|" + description->name : "none";
    };
    EXPECT_EQ(described(mail), "org.example.Mail|Post");
    EXPECT_EQ(described(bare), "org.example.Bare|");
    // A running application known by its window class alone, as the chooser answers for it.
    EXPECT_EQ(described(program::windowClassPath("Term")), "Term|Term");
    EXPECT_EQ(described((root_ / "Bundles/Mail.app").string()), "com.example.mail|");
    for (const std::string& nothing :
         {hidden, (root_ / "none.desktop").string(), program, std::string("window-class:"),
          mail + "/Contents/Info.plist", (root_ / "Bundles").string()})
        EXPECT_EQ(described(nothing), "none") << nothing;
    for (const char* bundle : {"Junk", "Piped", "None", "Huge"})
        EXPECT_EQ(described((root_ / "Bundles" / (std::string(bundle) + ".app")).string()), "none")
            << bundle;
}

// The chooser: the running (not the agent nor windowless helpers), then the installed ones this
// desktop shows. A chosen path read back as its id: AChosenPath... above, tests/e2e/popover.sh.
TEST_F(InstalledApplicationsTest, TheChooserOffersTheRunningThenTheShown) {
    write("home/applications/org.example.Mail.desktop",
          "[Desktop Entry]\nType=Application\nName=Mail\nName[de]=Post\nGenericName=Email\n"
          "GenericName[de]=E-Mail\nKeywords=letter;inbox;\nIcon=mail\n");
    const std::string runner = write("system/applications/org.example.Runner.desktop",
                                     "[Desktop Entry]\nType=Application\nName=Runner\n"
                                     "NoDisplay=true\n");
    for (const auto& [id, keys] :
         std::vector<std::pair<std::string, std::string>>{{"Hidden", "NoDisplay=true"},
                                                          {"Kde", "OnlyShowIn=KDE;"},
                                                          {"Link", "Type=Link"},
                                                          {"NotGnome", "NotShowIn=XFCE;GNOME;"},
                                                          {"Shown", "OnlyShowIn=KDE;GNOME;"},
                                                          {"Nameless", ""}})
        write("system/applications/org.example." + id + ".desktop",
              "[Desktop Entry]\n" +
                  std::string(keys.starts_with("Type") ? "" : "Type=Application\n") + keys + "\n" +
                  (id == "Nameless" ? "" : "Name=" + id + "\n"));
    // Neither a folder nor a file too large to be one is an application.
    fs::create_directories(root_ / "system/applications/folder.desktop");
    fs::resize_file(write("system/applications/huge.desktop", "[Desktop Entry]\nName=Huge\n"),
                    util::kMaxDesktopFileBytes + 1);
    const auto regular = [](std::string id, std::string name, std::optional<std::string> path) {
        return RunningApplication{std::move(id), std::move(name), std::move(path)};
    };
    RunningApplication dock = regular("Dock", "Dock", std::nullopt);
    dock.activationPolicy = ActivationPolicy::Accessory;
    const std::vector<RunningApplication> running{
        regular(kOwnBundleIdentifier, "Velmora", std::nullopt),
        regular("Term", "Term", std::nullopt),
        dock,
        regular("org.example.Runner", "Runner", runner),
        regular("Term", "Term", std::nullopt),
        RunningApplication{}};
    const auto choices = program::applicationChoices(
        running,
        x11::DesktopEntryIndex::scan(x11::applicationDirectories(), x11::EntryKeys::Chooser),
        "de_DE.UTF-8", "GNOME");
    std::vector<std::string> ids;
    for (const auto& choice : choices)
        ids.push_back(choice.id + (choice.running ? " running" : ""));
    EXPECT_EQ(ids, (std::vector<std::string>{"Term running", "org.example.Runner running",
                                             "org.example.Mail", "org.example.Nameless",
                                             "org.example.Shown"}));
    ASSERT_EQ(choices.size(), 5u);
    EXPECT_EQ(choices[2].name + "|" + choices[2].genericName + "|" + choices[2].keywords.at(1) +
                  "|" + choices[2].icon,
              "Post|E-Mail|inbox|mail");
    EXPECT_EQ(program::windowClassPath(std::string(program::kMaxWindowClassBytes + 1, 'x')), "");
}

} // namespace
} // namespace velmora
