// SPDX-License-Identifier: MIT
#include "sway/sway_input_sources.h"
#include "sway/sway_workspace.h"
#include "x11/xkb_layout_ids.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velmora::sway {
namespace {

std::string header(std::uint32_t length, std::uint32_t type) {
    return encodeMessage(type, "").substr(0, kIpcMagic.size()) +
           std::string(reinterpret_cast<const char*>(&length), 4) +
           std::string(reinterpret_cast<const char*>(&type), 4);
}

TEST(IpcReader, AssemblesPiecesAndStopsAtBrokenFrames) {
    IpcReader reader;
    const std::string message = encodeMessage(kGetTree, R"({"id":1})");
    reader.feed(message.substr(0, 9));
    EXPECT_FALSE(reader.next());
    reader.feed(message.substr(9));
    ASSERT_TRUE(reader.next());
    reader.feed(header(kMaxPayloadBytes + 1, kGetTree));
    EXPECT_FALSE(reader.next());
    EXPECT_NE(reader.error().find("at most"), std::string::npos);
    IpcReader wrongMagic;
    wrongMagic.feed("i3-xyz" + header(0, 0).substr(6));
    EXPECT_FALSE(wrongMagic.next());
    EXPECT_FALSE(wrongMagic.error().empty());
}

TEST(SwayIpc, BadJsonIsSaidOnceAndBrokenFramesMeanSwayIsGone) {
    std::vector<std::string> lines;
    SwayIpc ipc([&](const std::string& line) { lines.push_back(line); });
    int windows = 0;
    ipc.onEvent(kWindowEvent, [&](const QJsonObject&) { ++windows; });
    std::string gone;
    ipc.setGone([&](const std::string& why) { gone = why; });
    ipc.receive(encodeMessage(kWindowEvent, R"({"change":"focus")")); // truncated
    ipc.receive(encodeMessage(kWindowEvent, "\xff{"));
    ipc.receive(encodeMessage(kWindowEvent, R"({"change":"focus"})"));
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(lines.size(), 1u);
    ipc.receive(header(0xFFFFFFFF, kWindowEvent));
    EXPECT_NE(gone.find("bytes"), std::string::npos);
}

TEST(SwayIdentity, UnusableAppIdsCountAsNone) {
    auto identity = [](const char* json) {
        return windowIdentityOf(QJsonDocument::fromJson(json).object());
    };
    EXPECT_EQ(identity(R"({"app_id":"foot","pid":7})").appId, "foot");
    EXPECT_FALSE(identity(R"({"app_id":""})").appId);
    // Bytes that are no UTF-8 do not cost the event; the app id is none.
    SwayIpc ipc(nullptr);
    QJsonObject focused;
    ipc.onEvent(kWindowEvent, [&](const QJsonObject& event) { focused = event; });
    ipc.receive(encodeMessage(kWindowEvent, "{\"container\":{\"app_id\":\"a\xff\xfe\"}}"));
    ASSERT_TRUE(focused.contains("container"));
    EXPECT_FALSE(windowIdentityOf(focused.value("container").toObject()).appId);
    EXPECT_EQ(identity(R"({"app_id":null,"window_properties":{"class":"XTerm"}})").windowClass,
              "XTerm");
}

TEST(SwayWorkspace, FrontFrameFollowsFocusWithinBounds) {
    SwayIpc ipc(nullptr);
    SwayWorkspace workspace(
        ipc, QJsonDocument::fromJson(R"({"nodes":[{"id":1,"app_id":"a","focused":true,
                                      "rect":{"x":10,"y":20,"width":300,"height":200}}]})"),
        [](const WindowIdentity&) { return RunningApplication{}; }, {}, nullptr);
    EXPECT_EQ(workspace.frontFrame(), QRect(10, 20, 300, 200));
    std::vector<QRect> told;
    workspace.setFrontFrameObserver([&](const QRect& frame) { told.push_back(frame); });
    ipc.receive(encodeMessage(kWindowEvent, R"({"change":"focus","container":{"id":2,
        "rect":{"x":-1e300,"y":"top","width":9e18,"height":50}}})"));
    // A focused window that moved without a rectangle, and one not focused, change nothing.
    ipc.receive(encodeMessage(kWindowEvent, R"({"change":"move","container":{"focused":true}})"));
    ipc.receive(encodeMessage(kWindowEvent, R"({"change":"move","container":{"id":1,
        "rect":{"x":1,"y":1,"width":5,"height":5}}})"));
    const int farthest = SwayWorkspace::kFarthestCoordinate;
    EXPECT_EQ(told, std::vector<QRect>{QRect(0, 0, farthest, 50)});
}

TEST(SwayLayouts, DescriptionsNameTheIdsOfX11) {
    const std::vector<NamedLayout> known{{"de", "", "German"},
                                         {"de", "nodeadkeys", "German (no dead keys)"}};
    for (const NamedLayout& layout : known)
        EXPECT_EQ(inputSourceIdForDescription(known, layout.description, 0),
                  x11::inputSourceIdFor({layout.layout, layout.variant}));
    EXPECT_EQ(inputSourceIdForDescription(known, "Klingon", 2), "xkb:group3");
}

// Two keyboards with different lists: the sources are every layout once, and selecting one
// switches each keyboard that has it to its own index.
TEST(SwayLayouts, KeyboardsWithDifferentListsSwitchEachToItsIndex) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name};
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    QLocalServer sway;
    ASSERT_TRUE(sway.listen(folder.filePath("sway.sock")));
    SwayIpc ipc(nullptr);
    ASSERT_TRUE(ipc.connectTo(folder.filePath("sway.sock").toStdString(), nullptr));
    ASSERT_TRUE(sway.waitForNewConnection(2000));
    QLocalSocket* peer = sway.nextPendingConnection();

    const auto inputs = QJsonDocument::fromJson(R"j([
        {"identifier":"1:1:a","type":"keyboard","xkb_layout_names":["English (US)","German"],
         "xkb_active_layout_index":0
},
        {"identifier":"2:2:b","type":"keyboard","xkb_layout_names":["German","Russian"],
         "xkb_active_layout_index":1},
        {"identifier":"3:3:mouse","type":"pointer"}])j");
    std::vector<DesktopBroadcast> posted;
    SwayInputSources sources(
        ipc, inputs, {{"us", "", "English (US)"}, {"de", "", "German"}, {"ru", "", "Russian"}},
        [&](DesktopBroadcast broadcast) { posted.push_back(broadcast); }, nullptr);
    std::vector<std::string> ids;
    for (const InputSource& source : sources.sourcesMatching(std::nullopt, false))
        ids.push_back(source.inputSourceID.value_or(""));
    EXPECT_EQ(ids, (std::vector<std::string>{"xkb:us", "xkb:de", "xkb:ru"}));
    EXPECT_EQ(sources.currentSource()->inputSourceID, "xkb:us");

    sources.select(sources.sourcesMatching("xkb:de", false).at(0));
    std::string sent;
    while (sent.size() < kIpcHeaderBytes + 60 && peer->waitForReadyRead(2000))
        sent += peer->readAll().toStdString();
    IpcReader reader;
    reader.feed(sent);
    auto command = reader.next();
    ASSERT_TRUE(command);
    EXPECT_EQ(command->payload, "input \"1:1:a\" xkb_switch_layout 1; "
                                "input \"2:2:b\" xkb_switch_layout 0");

    ipc.receive(encodeMessage(kInputEvent, R"({"change":"xkb_layout","input":
        {"identifier":"2:2:b","type":"keyboard","xkb_layout_names":["German","Russian"],
         "xkb_active_layout_index":1}})"));
    EXPECT_EQ(sources.currentSource()->inputSourceID, "xkb:ru");
    EXPECT_EQ(posted, std::vector<DesktopBroadcast>{DesktopBroadcast::SelectedInputSourceChanged});
}

} // namespace
} // namespace velmora::sway
