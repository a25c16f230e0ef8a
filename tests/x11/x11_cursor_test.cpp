// SPDX-License-Identifier: MIT
// The pointer's cursor: XFixes replies and Xcursor files parsed without a display, and a display
// without XFixes (E2E_NO_XFIXES_DISPLAY, started by run_on_display.sh). The cursor read from a
// live display, also from the address-bar check's thread: tests/e2e/address_bar.sh.

#include "pump_until.h"
#include "x11/cursor_theme_shapes.h"
#include "x11/x11_cursor.h"

#include <gtest/gtest.h>

#include <xcb/xfixes.h>

#include <cstddef>
#include <cstring>

namespace velmora::x11 {
namespace {

// A GetCursorImageAndName reply as the server would send it.
std::vector<std::uint8_t> cursorReply(std::uint16_t width, std::uint16_t height, std::uint16_t xhot,
                                      std::uint16_t yhot, const std::string& name,
                                      std::size_t claimedNameBytes) {
    xcb_xfixes_get_cursor_image_and_name_reply_t header{};
    header.width = width;
    header.height = height;
    header.xhot = xhot;
    header.yhot = yhot;
    header.nbytes = static_cast<std::uint16_t>(claimedNameBytes);
    std::vector<std::uint8_t> bytes(sizeof header + 4u * width * height + name.size());
    std::memcpy(bytes.data(), &header, sizeof header);
    std::memcpy(bytes.data() + sizeof header + 4u * width * height, name.data(), name.size());
    return bytes;
}

CursorFacts parse(const std::vector<std::uint8_t>& bytes, bool withName = true) {
    return readCursorReply(bytes.data(), bytes.size(), withName);
}

// An Xcursor file: the header, a table of contents of (type, subtype, position), then each
// image chunk (36-byte header, then its ARGB pixels), all little-endian.
struct XcursorImage {
    std::uint32_t width, height, xhot, yhot;
    std::vector<std::uint32_t> argb;
};

std::string xcursorFile(const std::vector<XcursorImage>& images,
                        const std::vector<std::uint32_t>& extraTocPositions = {}) {
    std::string file;
    auto word = [&file](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file += static_cast<char>(v >> (8 * i));
    };
    const std::uint32_t entries = std::uint32_t(images.size() + extraTocPositions.size());
    auto words = [&word](std::initializer_list<std::uint32_t> values) {
        for (std::uint32_t v : values)
            word(v);
    };
    file += "Xcur";
    words({16, 0x10000, entries});
    std::uint32_t position = 16 + 12 * entries;
    for (const XcursorImage& image : images) {
        words({0xfffd0002, image.width, position});
        position += 36 + 4 * std::uint32_t(image.argb.size());
    }
    for (std::uint32_t extra : extraTocPositions)
        words({0xfffd0002, 24, extra});
    for (const XcursorImage& image : images) {
        words({36, 0xfffd0002, image.width, 1, image.width, image.height, image.xhot, image.yhot,
               50});
        for (std::uint32_t pixel : image.argb)
            word(pixel);
    }
    return file;
}

TEST(CursorThemeShapes, ImagesOfAFileAndWhatDoesNotHoldTogether) {
    const XcursorImage beam{2, 3, 1, 1, {0, 0xff000000, 0, 0xff101010, 0x80404040, 0}};
    const XcursorImage wide{3, 1, 0, 0, {0xffffffff, 0, 0x01000000}};
    const XcursorImage hotOutside{2, 2, 2, 0, {0, 0, 0, 0}};
    const XcursorImage huge{5000, 1, 0, 0, std::vector<std::uint32_t>(5000, 0)};
    const std::string file = xcursorFile({beam, wide, hotOutside, huge}, {0xfffffff0u});
    const std::vector<CursorShape> shapes = readXcursorImages(file);
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0], (CursorShape{2, 3, 1, 1, {0, 0xff, 0, 0xff, 0x80, 0}}));
    EXPECT_EQ(shapes[1], (CursorShape{3, 1, 0, 0, {0xff, 0, 0x01}}));
    // The same shape in other colours (straight instead of premultiplied) is the same cursor.
    const std::uint32_t shown[] = {0x00ffffff, 0xff000000, 0, 0xffeeeeee, 0x80808080, 0};
    EXPECT_EQ(shapeOfImage(2, 3, 1, 1, shown), shapes[0]);
    EXPECT_NE(shapeOfImage(2, 3, 0, 1, shown), shapes[0]);
    // Cut inside the second image: the first stays. Not an Xcursor file, or cut in its
    // header: nothing.
    EXPECT_EQ(readXcursorImages(file.substr(0, 16 + 12 * 5 + 36 + 24 + 36 + 4)).size(), 1u);
    EXPECT_TRUE(readXcursorImages("Xcux" + file.substr(4)).empty());
    EXPECT_TRUE(readXcursorImages(file.substr(0, 10)).empty());
}

TEST(CursorThemeShapes, EntriesSharingAnImageReadNoMorePixelsThanTheFileHolds) {
    // One 64 x 64 image, and 4000 more entries of the table that point at it.
    const XcursorImage beam{64, 64, 1, 1, std::vector<std::uint32_t>(64 * 64, 0xff000000)};
    const std::uint32_t imagePosition = 16 + 12 * 4001;
    const std::string file = xcursorFile({beam}, std::vector<std::uint32_t>(4000, imagePosition));
    const std::vector<CursorShape> shapes = readXcursorImages(file);
    ASSERT_FALSE(shapes.empty());
    EXPECT_EQ(shapes[0].alpha, std::vector<std::uint8_t>(64 * 64, 0xff));
    std::size_t pixels = 0;
    for (const CursorShape& shape : shapes)
        pixels += shape.alpha.size();
    EXPECT_LE(pixels, file.size() / 4);
}

// The text cursors read from a theme in that path: tests/e2e/address_bar.sh.
TEST(CursorThemeShapes, SearchPathOfTheHomeOrXcursorPath) {
    EXPECT_EQ(cursorSearchPath("/h", ""),
              (std::vector<std::string>{"/h/.local/share/icons", "/h/.icons", "/usr/share/icons",
                                        "/usr/share/pixmaps"}));
    EXPECT_EQ(cursorSearchPath("", "~/a::/b"), (std::vector<std::string>{"/b"}));
}

TEST(CursorReply, HotSpotAndNameOfWellFormedReplies) {
    CursorFacts facts = parse(cursorReply(9, 16, 4, 8, "xterm", 5));
    EXPECT_EQ(facts.hotSpot, (Point{4, 8}));
    EXPECT_EQ(facts.name, "xterm");
    // The older request has no name, whatever follows the image.
    facts = parse(cursorReply(9, 16, 4, 8, "xterm", 5), false);
    EXPECT_EQ(facts.hotSpot, (Point{4, 8}));
    EXPECT_EQ(facts.name, std::nullopt);
    // The largest hot spot a reply can hold.
    EXPECT_EQ(parse(cursorReply(0xffff, 1, 0xfffe, 0, "", 0)).hotSpot, (Point{65534, 0}));
    // No name is none; padding after the name is not part of it; long names are cut.
    EXPECT_EQ(parse(cursorReply(1, 1, 0, 0, "", 0)).name, std::nullopt);
    EXPECT_EQ(parse(cursorReply(1, 1, 0, 0, std::string(4, '\0'), 4)).name, std::nullopt);
    EXPECT_EQ(parse(cursorReply(1, 1, 0, 0, std::string("text\0\0\0", 7), 7)).name, "text");
    const std::string name(1000, 'n');
    EXPECT_EQ(parse(cursorReply(1, 1, 0, 0, name, name.size())).name,
              std::string(kMaxCursorNameBytes, 'n'));
}

TEST(CursorReply, RepliesThatContradictThemselvesAreNotBelieved) {
    // A name or an image longer than the reply.
    CursorFacts facts = parse(cursorReply(2, 2, 0, 0, "xterm", 6));
    EXPECT_EQ(facts.hotSpot, std::nullopt);
    EXPECT_EQ(facts.name, std::nullopt);
    auto bytes = cursorReply(2, 2, 1, 1, "", 0);
    bytes.resize(bytes.size() - 1);
    EXPECT_EQ(parse(bytes, false).hotSpot, std::nullopt);
    // The largest image a reply can claim, with nothing after the header.
    bytes = cursorReply(1, 1, 1, 1, "", 0);
    bytes.resize(sizeof(xcb_xfixes_get_cursor_image_and_name_reply_t));
    const std::uint16_t largest = 0xffff;
    std::memcpy(bytes.data() + offsetof(xcb_xfixes_get_cursor_image_and_name_reply_t, width),
                &largest, sizeof largest);
    std::memcpy(bytes.data() + offsetof(xcb_xfixes_get_cursor_image_and_name_reply_t, height),
                &largest, sizeof largest);
    EXPECT_EQ(parse(bytes, false).hotSpot, std::nullopt);
    // A hot spot outside the image, an empty image.
    EXPECT_EQ(parse(cursorReply(4, 4, 4, 0, "", 0)).hotSpot, std::nullopt);
    EXPECT_EQ(parse(cursorReply(4, 4, 0, 4, "", 0)).hotSpot, std::nullopt);
    EXPECT_EQ(parse(cursorReply(0, 0, 0, 0, "", 0)).hotSpot, std::nullopt);
    // Shorter than the header, or none.
    EXPECT_EQ(readCursorReply(bytes.data(), bytes.size() - 1, true).hotSpot, std::nullopt);
    EXPECT_EQ(readCursorReply(nullptr, 64, true).hotSpot, std::nullopt);
}

TEST(CursorWithoutXFixes, SaysSoOnceAndAnswersNone) {
    const char* display = std::getenv("E2E_NO_XFIXES_DISPLAY");
    ASSERT_TRUE(display) << "run through x11_cursor.sh";
    std::string error;
    auto connection = X11Connection::open(display, &error);
    ASSERT_TRUE(connection) << error;
    std::vector<std::string> log;
    X11Cursor cursor(*connection, [&log](const std::string& line) { log.push_back(line); });
    EXPECT_FALSE(cursor.hasCursorImages());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cursor.currentSystemCursorHotSpot(), std::nullopt);
        EXPECT_EQ(cursor.currentSystemCursorName(), std::nullopt);
    }
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("XFixes"), std::string::npos) << log[0];
    EXPECT_FALSE(connection->hasError());
}

} // namespace
} // namespace velmora::x11
