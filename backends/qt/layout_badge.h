// SPDX-License-Identifier: MIT
#pragma once
// Glyphs for keyboard layouts that have no icon of their own: the layout's name in capitals
// ("US", "DE", "RU") in one dark colour on a transparent ground, with a dot in the bottom
// right corner when the layout has a variant. They are asked for by icon references of the
// form "velmora-badge:LAYOUT" or "velmora-badge:LAYOUT(VARIANT)" (kLayoutBadgeIconRefPrefix
// in platform/images.h). Being drawn in one colour, a badge passes the template test: the
// indicator shows it at 18 x 18 over its light backdrop, and the editor's catalogue shows the
// same image.

#include <QImage>
#include <QString>

#include <optional>
#include <string_view>

namespace velmora::qt {

struct LayoutBadge {
    QString label;        // one to three capitals or digits
    bool variant = false; // marked with a dot

    bool operator==(const LayoutBadge&) const = default;
};

// Square, the size the indicator shows one-colour icons at: it is shown without rescaling.
inline constexpr int kBadgeSide = 18;
// Longer references are refused: layout and variant names are short words.
inline constexpr std::size_t kMaxBadgeRefLength = 128;

// The badge that REF asks for. None when REF is no badge reference, or not a well-formed one:
// a layout of letters, digits and "_-./" (at least one letter or digit), an optional
// non-empty variant of the same characters in parentheses, nothing else.
std::optional<LayoutBadge> parseLayoutBadgeRef(std::string_view ref);

// The badge drawn at kBadgeSide x kBadgeSide: every pixel black, with the glyph's coverage as
// its alpha. Needs a QGuiApplication for its fonts.
QImage drawLayoutBadge(const LayoutBadge& badge);

} // namespace velmora::qt
