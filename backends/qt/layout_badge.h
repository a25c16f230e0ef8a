#pragma once
// Badges for keyboard layouts that have no icon of their own: the layout's name in capitals
// ("US", "DE", "RU") in white on a small dark plate, with a light dot in the corner when the
// layout has a variant. They are asked for by icon references of the form
// "velmora-badge:LAYOUT" or "velmora-badge:LAYOUT(VARIANT)" (kLayoutBadgeIconRefPrefix in
// platform/images.h). A badge is an ordinary coloured image, never a one-colour glyph: it is
// shown as it is, at its own size, without the indicator's backdrop.

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

inline constexpr int kBadgeWidth = 26;
inline constexpr int kBadgeHeight = 18;
// Longer references are refused: layout and variant names are short words.
inline constexpr std::size_t kMaxBadgeRefLength = 128;

// The badge that REF asks for. None when REF is no badge reference, or not a well-formed one:
// a layout of letters, digits and "_-./" (at least one letter or digit), an optional
// non-empty variant of the same characters in parentheses, nothing else.
std::optional<LayoutBadge> parseLayoutBadgeRef(std::string_view ref);

// The badge drawn at kBadgeWidth x kBadgeHeight. Needs a QGuiApplication for its fonts.
QImage drawLayoutBadge(const LayoutBadge& badge);

} // namespace velmora::qt
