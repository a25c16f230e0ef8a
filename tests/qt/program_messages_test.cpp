// SPDX-License-Identifier: MIT
// What the velmora program says: Qt's messages in the program's own form, and which provider's
// input sources it uses. The notes about missing layouts: tests/e2e/keymap_change.sh; a framework
// that starts and ends providing the sources: tests/e2e/fcitx5.sh and ibus.sh.

#include "framework_input_sources.h"
#include "qt_messages.h"
#include "x11/xkb_input_sources.h"

#include <gtest/gtest.h>

namespace velmora::program {
namespace {

TEST(QtMessages, EveryLineStartsWithTheProgramsName) {
    EXPECT_EQ(formatQtMessage("The X11 connection broke (error 1). Did the X11 server die?"),
              "velmora: The X11 connection broke (error 1). Did the X11 server die?\n");
    EXPECT_EQ(formatQtMessage("first\n\nsecond\n"), "velmora: first\nvelmora: second\n");
    EXPECT_EQ(formatQtMessage(" \n\t\n"), "");
}

// Sources of the given ids, noting which are selected; as layouts or as a framework's.
template <class Provider> class FakeSources : public Provider {
  public:
    std::vector<std::string> ids;
    std::vector<std::string> selected;
    std::optional<std::string> asked;
    std::optional<InputSource> currentSource() override { return std::nullopt; }
    std::vector<InputSource> sourcesMatching(const std::optional<std::string>& id, bool) override {
        asked = id;
        std::vector<InputSource> found;
        for (const auto& each : ids)
            if (!id || *id == each) {
                InputSource source;
                source.inputSourceID = each;
                found.push_back(source);
            }
        return found;
    }
    void select(const InputSource& source) override { selected.push_back(*source.inputSourceID); }
};

using FakeLayouts = FakeSources<InputSources>;

class FakeFramework final : public FakeSources<InputMethodFramework> {
  public:
    FakeFramework(std::string name, std::vector<std::string> sourceIds) : name_(std::move(name)) {
        ids = std::move(sourceIds);
    }
    bool isRunning = false;
    RunningChanged changed;
    void setRunning(bool running) {
        isRunning = running;
        changed();
    }
    std::string frameworkName() const override { return name_; }
    bool running() const override { return isRunning; }
    void setRunningChanged(RunningChanged callback) override { changed = std::move(callback); }

  private:
    std::string name_;
};

class FrameworkInputSourcesTest : public ::testing::Test {
  protected:
    void SetUp() override { layouts_.ids = {"xkb:us", "xkb:de"}; }

    FakeLayouts layouts_;
    FakeFramework fcitx_{"Fcitx5", {"fcitx5:keyboard-us", "fcitx5:pinyin"}};
    FakeFramework ibus_{"IBus", {"ibus:xkb:us::eng", "ibus:libpinyin"}};
    std::vector<DesktopBroadcast> posted_;
    std::vector<std::string> said_;
    FrameworkInputSources sources_{layouts_,
                                   {&fcitx_, &ibus_},
                                   [this](DesktopBroadcast b) { posted_.push_back(b); },
                                   [this](const std::string& line) { said_.push_back(line); }};
};

TEST_F(FrameworkInputSourcesTest, Fcitx5WinsWhenBothRun) {
    ibus_.setRunning(true);
    fcitx_.setRunning(true);
    EXPECT_EQ(sources_.activeFramework(), &fcitx_);
    EXPECT_EQ(said_.at(1), "several input-method frameworks run; using Fcitx5's");
}

TEST_F(FrameworkInputSourcesTest, SourcesOfAProviderNoLongerUsedAreNotSelected) {
    ibus_.setRunning(true);
    const InputSource listedByIBus = sources_.sourcesMatching("ibus:libpinyin", false).front();
    fcitx_.setRunning(true);
    sources_.select(listedByIBus);
    EXPECT_TRUE(ibus_.selected.empty() && fcitx_.selected.empty());
    sources_.select(sources_.sourcesMatching("fcitx5:pinyin", false).front());
    EXPECT_EQ(fcitx_.selected, std::vector<std::string>{"fcitx5:pinyin"});
}

TEST_F(FrameworkInputSourcesTest, TheLatinLayoutIsTheFrameworksUsOne) {
    fcitx_.setRunning(true);
    sources_.sourcesMatching(x11::kLatinLayoutAlias, false);
    EXPECT_EQ(fcitx_.asked, "xkb:us");
}

} // namespace
} // namespace velmora::program
