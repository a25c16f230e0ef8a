// SPDX-License-Identifier: MIT
#pragma once
// The pointer's current cursor through XFixes, whichever client set it: its hot spot and the
// name its theme gave it ("xterm", "left_ptr"). XFixes 2.0 names cursors; 1.0 gives the hot
// spot alone; a server without XFixes gives neither, which the core takes for a cursor it
// cannot read.
//
// Asked from any thread (the address-bar check runs on a background thread): each question is
// one request on the agent's connection, and xcb is thread-safe.

#include "cursor_theme_shapes.h"
#include "platform/cursor.h"
#include "x11_connection.h"

#include <xcb/xfixes.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace velmora::x11 {

// What one cursor reply says, checked against the reply's own length.
struct CursorFacts {
    std::optional<Point> hotSpot;
    std::optional<std::string> name;
};

// Reads a GetCursorImageAndName reply of REPLY_SIZE bytes (the 32-byte header, then the image
// of width x height pixels of 4 bytes, then NAME_BYTES of name). A hot spot outside the image,
// or an image and name longer than the reply, make it unreadable: nothing is believed of it.
// Trailing NULs are not part of the name; an empty name is none; names are cut at
// kMaxCursorNameBytes.
CursorFacts readCursorReply(const void* reply, std::size_t replySize, bool withName);
inline constexpr std::size_t kMaxCursorNameBytes = 256;

class X11Cursor final : public SystemCursor {
  public:
    using Log = std::function<void(const std::string& line)>;

    // Asks the server for XFixes once, on the calling thread; says once in LOG when it has none.
    X11Cursor(X11Connection& connection, Log log);

    std::optional<Point> currentSystemCursorHotSpot() override;
    std::optional<std::string> currentSystemCursorName() override;

    // Whether cursors can be read, and named.
    bool hasCursorImages() const { return major_ >= 1; }
    bool hasCursorNames() const { return major_ >= 2; }

  private:
    CursorFacts current();
    // Whether an unnamed cursor shows a theme's I-beam (cursor_theme_shapes.h).
    bool showsThemeTextCursor(const xcb_xfixes_get_cursor_image_and_name_reply_t& reply);

    X11Connection& connection_;
    std::uint32_t major_ = 0;
    // The themes' text cursors, read when the first unnamed cursor is seen.
    std::once_flag textShapesRead_;
    std::vector<CursorShape> textShapes_;
};

} // namespace velmora::x11
