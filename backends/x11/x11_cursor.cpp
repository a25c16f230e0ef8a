// SPDX-License-Identifier: MIT
#include "x11_cursor.h"

#include "xcb_reply.h"

#include <xcb/xfixes.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace velmora::x11 {

namespace {

// Both replies start alike up to the hot spot; the named one adds the name's length.
constexpr std::size_t kReplyHeaderBytes = 32;
// The name an unnamed cursor gets when its picture is a theme's I-beam.
constexpr const char* kThemeTextCursorName = "xterm";
static_assert(sizeof(xcb_xfixes_get_cursor_image_reply_t) == kReplyHeaderBytes);
static_assert(sizeof(xcb_xfixes_get_cursor_image_and_name_reply_t) == kReplyHeaderBytes);

// The reply's size as its length field gives it: xcb has read that many bytes.
std::size_t replyBytes(std::uint32_t length) {
    const std::uint64_t bytes = kReplyHeaderBytes + std::uint64_t{4} * length;
    return static_cast<std::size_t>(std::min<std::uint64_t>(bytes, SIZE_MAX));
}

} // namespace

CursorFacts readCursorReply(const void* reply, std::size_t replySize, bool withName) {
    CursorFacts facts;
    if (!reply || replySize < kReplyHeaderBytes)
        return facts;
    xcb_xfixes_get_cursor_image_and_name_reply_t header;
    std::memcpy(&header, reply, kReplyHeaderBytes);
    // In 64 bits: the largest image a reply can claim (65535 x 65535) overflows 32.
    const std::uint64_t imageBytes = std::uint64_t{4} * header.width * header.height;
    const std::size_t nameBytes = withName ? header.nbytes : 0;
    if (imageBytes + nameBytes > replySize - kReplyHeaderBytes)
        return facts;
    if (header.xhot >= header.width || header.yhot >= header.height)
        return facts;
    facts.hotSpot = Point{double(header.xhot), double(header.yhot)};
    if (!withName)
        return facts;
    const char* name = static_cast<const char*>(reply) + kReplyHeaderBytes + imageBytes;
    const std::size_t length =
        std::min({nameBytes, kMaxCursorNameBytes, ::strnlen(name, nameBytes)});
    if (length > 0)
        facts.name = std::string(name, length);
    return facts;
}

X11Cursor::X11Cursor(X11Connection& connection, Log log) : connection_(connection) {
    major_ = connection_.xfixesMajorVersion();
    if (!log)
        return;
    if (major_ == 0)
        log("the X server has no XFixes: the pointer's cursor is unknown, the address-bar switch "
            "stays quiet");
    else if (major_ < 2)
        log("the X server's XFixes " + std::to_string(major_) +
            " does not name cursors: the text cursor is known by its hot spot alone");
}

CursorFacts X11Cursor::current() {
    xcb_connection_t* c = connection_.xcb();
    CursorFacts facts;
    if (hasCursorNames()) {
        XcbReply<xcb_xfixes_get_cursor_image_and_name_reply_t> reply(
            xcb_xfixes_get_cursor_image_and_name_reply(c, xcb_xfixes_get_cursor_image_and_name(c),
                                                       nullptr));
        if (reply) {
            facts = readCursorReply(reply.get(), replyBytes(reply->length), true);
            // A readable image without a name: what a theme calls it, if it is the I-beam.
            if (facts.hotSpot && !facts.name && showsThemeTextCursor(*reply))
                facts.name = kThemeTextCursorName;
        }
        connection_.repliesAwaited();
    } else if (hasCursorImages()) {
        XcbReply<xcb_xfixes_get_cursor_image_reply_t> reply(
            xcb_xfixes_get_cursor_image_reply(c, xcb_xfixes_get_cursor_image(c), nullptr));
        if (reply)
            facts = readCursorReply(reply.get(), replyBytes(reply->length), false);
        connection_.repliesAwaited();
    }
    return facts;
}

bool X11Cursor::showsThemeTextCursor(const xcb_xfixes_get_cursor_image_and_name_reply_t& reply) {
    std::call_once(textShapesRead_, [this] { textShapes_ = textCursorShapesOfThemes(); });
    if (textShapes_.empty())
        return false;
    // readCursorReply has checked that the image lies within the reply.
    const CursorShape shape =
        shapeOfImage(reply.width, reply.height, reply.xhot, reply.yhot,
                     xcb_xfixes_get_cursor_image_and_name_cursor_image(&reply));
    return std::find(textShapes_.begin(), textShapes_.end(), shape) != textShapes_.end();
}

std::optional<Point> X11Cursor::currentSystemCursorHotSpot() {
    return current().hotSpot;
}

std::optional<std::string> X11Cursor::currentSystemCursorName() {
    return current().name;
}

} // namespace velmora::x11
