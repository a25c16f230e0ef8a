// Start at login as the settings menu drives it: the login-item operations over the autostart
// folder.
#include "menu/login_item.h"
#include "xdg_autostart_login_items.h"
#include "xdg_test_support.h"

#include <gtest/gtest.h>

namespace velmora::xdg {
namespace {

using namespace xdg_test;

class InstalledProgram final : public Application {
  public:
    explicit InstalledProgram(std::string path) : path_(std::move(path)) {}
    std::string bundlePath() override { return fs::path(path_).parent_path(); }
    std::string bundleURL() override { return path_; }
    void log(const std::string&) override {}

  private:
    std::string path_;
};

class LoginItemOperations : public ::testing::Test {
  protected:
    std::vector<std::string> entries() {
        std::vector<std::string> names;
        for (const auto& file : fs::directory_iterator(autostart))
            names.push_back(file.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder home;
    std::string autostart = home.file("autostart");
    InstalledProgram program{makeProgram(home.file("bin/velmora"))};
    XdgAutostartLoginItems items{autostart, "com.quorvant.Quorvant-Velmora", nullptr};
    BundleLoginItem loginItem{&items, program};
};

TEST_F(LoginItemOperations, AddsOnceAndRemovesOnlyTheFirstEntryOfTheProgram) {
    loginItem.removeFromLoginItems(); // no folder yet: nothing to do
    loginItem.addToLoginItems();
    loginItem.addToLoginItems();
    EXPECT_EQ(entries(), std::vector<std::string>{"com.quorvant.Quorvant-Velmora.desktop"});
    writeFile(autostart + "/0-moved.desktop", entry(makeProgram(home.file("old/velmora"))));
    writeFile(autostart + "/1-hidden.desktop", entry(program.bundleURL(), "Hidden=true\n"));
    writeFile(autostart + "/2-user.desktop", entry(program.bundleURL()));
    loginItem.removeFromLoginItems();
    EXPECT_EQ(entries(), (std::vector<std::string>{"0-moved.desktop", "1-hidden.desktop",
                                                   "com.quorvant.Quorvant-Velmora.desktop"}));
    loginItem.removeFromLoginItems();
    loginItem.removeFromLoginItems();
    EXPECT_EQ(entries(), (std::vector<std::string>{"0-moved.desktop", "1-hidden.desktop"}));
}

} // namespace
} // namespace velmora::xdg
