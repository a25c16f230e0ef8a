// SPDX-License-Identifier: MIT
#include "layout_badge.h"

#include "platform/images.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace velmora::qt {

namespace {

constexpr int kMaxLabelLetters = 3;
constexpr int kLargestTextPixels = 11;
constexpr int kSmallestTextPixels = 6;
constexpr int kTextMargin = 1;
constexpr qreal kVariantDot = 3;
// The one colour of every pixel. The template test compares colour bytes over the whole
// image, transparent pixels included, which read as black: so the glyph is black as well.
const QColor kGlyph(Qt::black);

bool isLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Letters and digits, and the punctuation that XKB names use ("nec_vndr/jp", "alt-intl").
bool isNameCharacter(char c) {
    return isLetterOrDigit(c) || c == '_' || c == '-' || c == '.' || c == '/';
}

bool isName(std::string_view text) {
    if (text.empty())
        return false;
    bool anyLetterOrDigit = false;
    for (char c : text) {
        if (!isNameCharacter(c))
            return false;
        anyLetterOrDigit = anyLetterOrDigit || isLetterOrDigit(c);
    }
    return anyLetterOrDigit;
}

QFont badgeFont(int pixels) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPixelSize(pixels);
    return font;
}

} // namespace

std::optional<LayoutBadge> parseLayoutBadgeRef(std::string_view ref) {
    const std::string_view prefix = kLayoutBadgeIconRefPrefix;
    if (ref.size() > kMaxBadgeRefLength || !ref.starts_with(prefix))
        return std::nullopt;
    std::string_view layout = ref.substr(prefix.size());
    bool variant = false;
    if (std::size_t open = layout.find('('); open != std::string_view::npos) {
        if (!layout.ends_with(')') || !isName(layout.substr(open + 1, layout.size() - open - 2)))
            return std::nullopt;
        layout = layout.substr(0, open);
        variant = true;
    }
    if (!isName(layout))
        return std::nullopt;
    LayoutBadge badge;
    badge.variant = variant;
    for (char c : layout)
        if (isLetterOrDigit(c) && badge.label.size() < kMaxLabelLetters)
            badge.label += QChar::fromLatin1(c).toUpper();
    return badge;
}

QImage drawLayoutBadge(const LayoutBadge& badge) {
    QImage image(kBadgeSide, kBadgeSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // Three wide capitals do not fit at the size two do: the text shrinks until it fits.
    const int room = kBadgeSide - 2 * kTextMargin;
    int pixels = kLargestTextPixels;
    while (pixels > kSmallestTextPixels &&
           QFontMetrics(badgeFont(pixels)).horizontalAdvance(badge.label) > room)
        --pixels;
    painter.setFont(badgeFont(pixels));
    painter.setPen(kGlyph);
    painter.drawText(QRect(0, 0, kBadgeSide, kBadgeSide), Qt::AlignCenter, badge.label);
    if (badge.variant) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(kGlyph);
        painter.drawEllipse(
            QRectF(kBadgeSide - kVariantDot, kBadgeSide - kVariantDot, kVariantDot, kVariantDot));
    }
    return image;
}

} // namespace velmora::qt
