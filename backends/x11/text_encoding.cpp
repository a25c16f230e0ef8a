// SPDX-License-Identifier: MIT
#include "text_encoding.h"

#include "util/utf8.h"

#include <cstdint>

namespace velmora::x11 {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

} // namespace

std::string sanitizeUtf8(std::string_view bytes) {
    std::string result;
    result.reserve(bytes.size());
    while (!bytes.empty()) {
        std::size_t length = util::utf8SequenceLength(bytes);
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
    if (util::isValidUtf8(bytes))
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
