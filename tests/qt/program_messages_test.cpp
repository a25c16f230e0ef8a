// SPDX-License-Identifier: MIT
// What the velmora program says: Qt's messages in the program's own form, and the note about
// rules that name a layout the keymap lacks, and which provider's input sources it uses.

#include "framework_input_sources.h"
#include "missing_layout_notes.h"
#include "qt_messages.h"
#include "x11/xkb_input_sources.h"

#include <gtest/gtest.h>

namespace velmora::program {
namespace {

TEST(QtMessages, EveryLineStartsWithTheProgramsName) {
    EXPECT_EQ(formatQtMessage("The X11 connection broke (error 1). Did the X11 server die?"),
              "velmora: The X11 connection broke (error 1). Did the X11 server die?\n");
    EXPECT_EQ(formatQtMessage("first\n\nsecond\n"), "velmora: first\nvelmora: second\n");
    EXPECT_EQ(formatQtMessage(""), "");
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

class CollectedLog final : public Application {
  public:
    std::vector<std::string> lines;
    std::string bundlePath() override { return {}; }
    void log(const std::string& line) override { lines.push_back(line); }
};

TEST(MissingLayoutNotes, OncePerLayoutAndKeymap) {
    FakeLayouts layouts;
    layouts.ids = {"xkb:us", "xkb:de"};
    CollectedLog log;
    MissingLayoutNotes notes(layouts, log);

    EXPECT_EQ(notes.sourcesMatching("xkb:de", false).size(), 1u);
    EXPECT_TRUE(notes.sourcesMatching(std::nullopt, false).size() == 2);
    EXPECT_TRUE(log.lines.empty()) << "found layouts and whole lists are not worth a note";

    for (int activation = 0; activation < 3; ++activation)
        EXPECT_TRUE(notes.sourcesMatching("xkb:fr", false).empty());
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("xkb:fr"), std::string::npos) << log.lines[0];
    EXPECT_NE(log.lines[0].find("xkb:us, xkb:de"), std::string::npos) << log.lines[0];

    notes.sourcesMatching("xkb:ru", false);
    EXPECT_EQ(log.lines.size(), 2u) << "another missing layout gets its own note";

    layouts.ids = {"xkb:us"};
    notes.sourcesMatching("xkb:fr", false);
    EXPECT_EQ(log.lines.size(), 3u) << "a new keymap notes the layout again";
    notes.sourcesMatching("xkb:fr", false);
    EXPECT_EQ(log.lines.size(), 3u);

    layouts.ids = {};
    notes.sourcesMatching("xkb:fr", false);
    ASSERT_EQ(log.lines.size(), 4u);
    EXPECT_NE(log.lines[3].find("no layouts"), std::string::npos) << log.lines[3];
}

TEST(FrameworkInputSources, TheFirstRunningFrameworkProvidesElseTheLayouts) {
    FakeLayouts layouts;
    layouts.ids = {"xkb:us", "xkb:de"};
    FakeFramework fcitx("Fcitx5", {"fcitx5:keyboard-us", "fcitx5:pinyin"});
    FakeFramework ibus("IBus", {"ibus:xkb:us::eng", "ibus:libpinyin"});
    std::vector<DesktopBroadcast> posted;
    std::vector<std::string> said;
    FrameworkInputSources sources(
        layouts, {&fcitx, &ibus}, [&](DesktopBroadcast b) { posted.push_back(b); },
        [&](const std::string& line) { said.push_back(line); });
    EXPECT_EQ(sources.sourcesMatching(std::nullopt, false).size(), 2u);
    EXPECT_TRUE(said.empty());

    posted.clear();
    ibus.setRunning(true);
    EXPECT_EQ(sources.activeFramework(), &ibus);
    EXPECT_EQ(*sources.sourcesMatching(std::nullopt, false)[1].inputSourceID, "ibus:libpinyin");
    EXPECT_EQ(posted.front(), DesktopBroadcast::EnabledInputSourcesChanged)
        << "the agent re-reads the sources as after a new keymap";
    const InputSource listedByIBus = sources.sourcesMatching("ibus:libpinyin", false).front();

    fcitx.setRunning(true);
    EXPECT_EQ(sources.activeFramework(), &fcitx) << "Fcitx5 wins when both run";
    sources.select(listedByIBus);
    EXPECT_TRUE(ibus.selected.empty() && fcitx.selected.empty())
        << "a source of a provider that is no longer used is not selected";
    sources.select(sources.sourcesMatching("fcitx5:pinyin", false).front());
    EXPECT_EQ(fcitx.selected, std::vector<std::string>{"fcitx5:pinyin"});
    sources.sourcesMatching(x11::kLatinLayoutAlias, false);
    EXPECT_EQ(fcitx.asked, "xkb:us") << "the address bar's Latin layout is the framework's US one";

    ibus.setRunning(false);
    fcitx.setRunning(false);
    EXPECT_EQ(sources.activeFramework(), nullptr);
    EXPECT_EQ(*sources.sourcesMatching(std::nullopt, false)[0].inputSourceID, "xkb:us");
    ASSERT_EQ(said.size(), 4u);
    EXPECT_EQ(said[0], "input sources from IBus");
    EXPECT_EQ(said[1], "several input-method frameworks run; using Fcitx5's");
    EXPECT_EQ(said[2], "input sources from Fcitx5");
    EXPECT_EQ(said[3], "Fcitx5 is gone; input sources from the keyboard layouts");
}

} // namespace
} // namespace velmora::program
