// SPDX-License-Identifier: MIT
#include "window_icon.h"

#include "xcb_reply.h"

#include <algorithm>
#include <limits>

namespace velmora::x11 {

namespace {

// Requests address the property in 32-bit words with a 32-bit offset.
constexpr std::uint64_t kMaxAddressableWords = std::numeric_limits<std::uint32_t>::max();

struct ImageHeader {
    std::uint64_t offset = 0; // of the width word
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t side() const { return std::max(width, height); }
    std::uint64_t pixels() const { return std::uint64_t{width} * height; }
};

// Whether CANDIDATE suits better than BEST for WANTED: the largest side not over it, else the
// smallest above it.
bool suitsBetter(const ImageHeader& candidate, const std::optional<ImageHeader>& best,
                 std::uint32_t wanted) {
    if (!best)
        return true;
    const bool fits = candidate.side() <= wanted;
    const bool bestFits = best->side() <= wanted;
    if (fits != bestFits)
        return fits;
    return fits ? candidate.side() > best->side() : candidate.side() < best->side();
}

} // namespace

std::optional<WindowIcon> chooseWindowIcon(const ReadPropertyWords& read,
                                           std::uint32_t wantedSide) {
    std::optional<PropertyWordSpan> first = read(0, kWindowIconFirstRead);
    if (!first)
        return std::nullopt;
    const std::vector<std::uint32_t>& head = first->words;
    const std::uint64_t total =
        std::min<std::uint64_t>(head.size() + first->wordsAfter, kMaxAddressableWords);
    // Words at OFFSET: from the first read when it holds them, else asked for.
    auto wordsAt = [&](std::uint64_t offset,
                       std::uint64_t count) -> std::optional<std::vector<std::uint32_t>> {
        if (offset + count <= head.size())
            return std::vector<std::uint32_t>(head.begin() + static_cast<std::ptrdiff_t>(offset),
                                              head.begin() +
                                                  static_cast<std::ptrdiff_t>(offset + count));
        auto span = read(static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(count));
        if (!span || span->words.size() != count)
            return std::nullopt; // changed or gone since the first read
        return std::move(span->words);
    };

    std::optional<ImageHeader> best;
    std::uint64_t offset = 0;
    for (int image = 0; image < kMaxWindowIconImages && offset + 2 <= total; ++image) {
        auto size = wordsAt(offset, 2);
        if (!size)
            break;
        ImageHeader header{offset, (*size)[0], (*size)[1]};
        const std::uint64_t end = offset + 2 + header.pixels(); // at most 2^64 - 2^33 + 3
        if (header.pixels() == 0 || end > total)
            break; // nothing after it can be found
        if (header.side() <= kMaxWindowIconSide && suitsBetter(header, best, wantedSide))
            best = header;
        offset = end;
    }
    if (!best)
        return std::nullopt;
    auto pixels = wordsAt(best->offset + 2, best->pixels());
    if (!pixels)
        return std::nullopt;
    return WindowIcon{best->width, best->height, std::move(*pixels)};
}

std::optional<WindowIcon> readWindowIcon(X11Connection& connection, xcb_window_t window,
                                         std::uint32_t wantedSide) {
    const xcb_atom_t property = connection.ewmh()._NET_WM_ICON;
    auto read = [&](std::uint32_t offset, std::uint32_t count) -> std::optional<PropertyWordSpan> {
        xcb_connection_t* c = connection.xcb();
        XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, property, XCB_ATOM_CARDINAL, offset, count),
            nullptr));
        connection.repliesAwaited();
        if (!reply || reply->type != XCB_ATOM_CARDINAL || reply->format != 32)
            return std::nullopt;
        const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
        const auto* words = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        PropertyWordSpan span;
        span.words.assign(words, words + std::min<std::size_t>(length / 4, count));
        span.wordsAfter = reply->bytes_after / 4;
        return span;
    };
    return chooseWindowIcon(read, wantedSide);
}

} // namespace velmora::x11
