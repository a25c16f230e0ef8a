#include "text_encoding.h"

#include <cstdint>

namespace velmora::x11 {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of the valid UTF-8 sequence at the start of BYTES, or 0 when it is invalid.
std::size_t validSequenceLength(std::string_view bytes) {
    auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    std::uint8_t lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

bool isValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        std::size_t length = validSequenceLength(bytes);
        if (length == 0)
            return false;
        bytes.remove_prefix(length);
    }
    return true;
}

} // namespace

std::string sanitizeUtf8(std::string_view bytes) {
    std::string result;
    result.reserve(bytes.size());
    while (!bytes.empty()) {
        std::size_t length = validSequenceLength(bytes);
        if (length == 0) {
            result += kReplacement;
            bytes.remove_prefix(1);
        } else {
            result.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return result;
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string result;
    result.reserve(bytes.size());
    for (char c : bytes) {
        auto byte = static_cast<std::uint8_t>(c);
        if (byte < 0x80) {
            result += c;
        } else {
            result += static_cast<char>(0xC0 | (byte >> 6));
            result += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return result;
}

std::string legacyTextToUtf8(std::string_view bytes) {
    if (isValidUtf8(bytes))
        return std::string(bytes);
    return latin1ToUtf8(bytes);
}

std::vector<std::string> splitNulSeparated(std::string_view bytes) {
    std::vector<std::string> parts;
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\0');
        if (end == std::string_view::npos) {
            parts.emplace_back(bytes);
            break;
        }
        parts.emplace_back(bytes.substr(0, end));
        bytes.remove_prefix(end + 1);
    }
    return parts;
}

} // namespace velmora::x11
