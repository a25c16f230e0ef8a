// SPDX-License-Identifier: MIT
// What the velmora program says: Qt's messages in the program's own form, and the note about
// rules that name a layout the keymap lacks.

#include "missing_layout_notes.h"
#include "qt_messages.h"

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

class FakeLayouts final : public InputSources {
  public:
    std::vector<std::string> ids;
    std::optional<InputSource> currentSource() override { return std::nullopt; }
    std::vector<InputSource> sourcesMatching(const std::optional<std::string>& id, bool) override {
        std::vector<InputSource> found;
        for (const auto& each : ids)
            if (!id || *id == each) {
                InputSource source;
                source.inputSourceID = each;
                found.push_back(source);
            }
        return found;
    }
    void select(const InputSource&) override {}
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

} // namespace
} // namespace velmora::program
