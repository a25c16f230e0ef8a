// SPDX-License-Identifier: MIT
#include "plist_json.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace velmora {

namespace {

void appendJsonString(std::string& out, const std::string& s) {
    out += '"';
    for (unsigned char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
}

void appendJson(std::string& out, const PlistValue& v) {
    switch (v.type()) {
    case PlistValue::Type::Dictionary: {
        out += '{';
        bool first = true;
        for (const auto& [k, item] : *v.dictionary()) {
            if (!first)
                out += ',';
            first = false;
            appendJsonString(out, k);
            out += ':';
            appendJson(out, item);
        }
        out += '}';
        break;
    }
    case PlistValue::Type::Array: {
        out += '[';
        bool first = true;
        for (const auto& item : *v.array()) {
            if (!first)
                out += ',';
            first = false;
            appendJson(out, item);
        }
        out += ']';
        break;
    }
    case PlistValue::Type::String:
        appendJsonString(out, *v.string());
        break;
    case PlistValue::Type::Integer:
        out += std::to_string(*v.integer());
        break;
    case PlistValue::Type::Real: {
        double r = *v.real();
        // JSON has no spelling for these; the scenario format reads them back in these words.
        if (std::isnan(r)) {
            out += "NaN";
            break;
        }
        if (std::isinf(r)) {
            out += r < 0 ? "-Infinity" : "Infinity";
            break;
        }
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.17g", r);
        // Shortest form that reads back to the same double.
        for (int precision = 1; precision <= 17; ++precision) {
            std::snprintf(buf, sizeof buf, "%.*g", precision, r);
            if (std::strtod(buf, nullptr) == r)
                break;
        }
        out += buf;
        break;
    }
    case PlistValue::Type::Boolean:
        out += *v.boolean() ? "true" : "false";
        break;
    }
}

class JsonParser {
  public:
    explicit JsonParser(const std::string& text) : s_(text) {}

    std::optional<PlistValue> parseDocument(std::string* error) {
        auto v = parseValue(0);
        if (v) {
            skipBlanks();
            if (pos_ != s_.size()) {
                fail("unexpected text after the value");
                v.reset();
            }
        }
        if (!v && error)
            *error = error_;
        return v;
    }

  private:
    static constexpr int kMaxDepth = 256;

    void skipBlanks() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r'))
            ++pos_;
    }

    void fail(const std::string& what) {
        if (error_.empty())
            error_ = "invalid JSON value: " + what + " at column " + std::to_string(pos_ + 1);
    }

    bool literal(const char* word) {
        std::string w(word);
        if (s_.compare(pos_, w.size(), w) == 0) {
            pos_ += w.size();
            return true;
        }
        return false;
    }

    std::optional<PlistValue> parseValue(int depth) {
        if (depth > kMaxDepth) {
            fail("nested too deeply");
            return std::nullopt;
        }
        skipBlanks();
        if (pos_ >= s_.size()) {
            fail("missing value");
            return std::nullopt;
        }
        char c = s_[pos_];
        if (c == '{')
            return parseObject(depth);
        if (c == '[')
            return parseArray(depth);
        if (c == '"') {
            auto str = parseString();
            if (!str)
                return std::nullopt;
            return PlistValue(std::move(*str));
        }
        if (literal("true"))
            return PlistValue(true);
        if (literal("false"))
            return PlistValue(false);
        // Reals that JSON cannot spell but a settings file can hold.
        if (literal("NaN"))
            return PlistValue(std::numeric_limits<double>::quiet_NaN());
        if (literal("Infinity"))
            return PlistValue(std::numeric_limits<double>::infinity());
        if (literal("-Infinity"))
            return PlistValue(-std::numeric_limits<double>::infinity());
        if (c == '-' || (c >= '0' && c <= '9'))
            return parseNumber();
        fail("unexpected character");
        return std::nullopt;
    }

    std::optional<PlistValue> parseObject(int depth) {
        ++pos_;
        PlistDictionary d;
        skipBlanks();
        if (pos_ < s_.size() && s_[pos_] == '}') {
            ++pos_;
            return PlistValue(std::move(d));
        }
        for (;;) {
            skipBlanks();
            if (pos_ >= s_.size() || s_[pos_] != '"') {
                fail("expected a string key");
                return std::nullopt;
            }
            auto key = parseString();
            if (!key)
                return std::nullopt;
            skipBlanks();
            if (pos_ >= s_.size() || s_[pos_] != ':') {
                fail("expected ':'");
                return std::nullopt;
            }
            ++pos_;
            auto v = parseValue(depth + 1);
            if (!v)
                return std::nullopt;
            d.insert_or_assign(std::move(*key), std::move(*v));
            skipBlanks();
            if (pos_ < s_.size() && s_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < s_.size() && s_[pos_] == '}') {
                ++pos_;
                return PlistValue(std::move(d));
            }
            fail("expected ',' or '}'");
            return std::nullopt;
        }
    }

    std::optional<PlistValue> parseArray(int depth) {
        ++pos_;
        PlistArray a;
        skipBlanks();
        if (pos_ < s_.size() && s_[pos_] == ']') {
            ++pos_;
            return PlistValue(std::move(a));
        }
        for (;;) {
            auto v = parseValue(depth + 1);
            if (!v)
                return std::nullopt;
            a.push_back(std::move(*v));
            skipBlanks();
            if (pos_ < s_.size() && s_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < s_.size() && s_[pos_] == ']') {
                ++pos_;
                return PlistValue(std::move(a));
            }
            fail("expected ',' or ']'");
            return std::nullopt;
        }
    }

    static void appendUtf8(std::string& out, std::uint32_t cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    std::optional<std::uint32_t> parseHex4() {
        if (pos_ + 4 > s_.size()) {
            fail("short \\u escape");
            return std::nullopt;
        }
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            char h = s_[pos_++];
            v <<= 4;
            if (h >= '0' && h <= '9')
                v |= static_cast<std::uint32_t>(h - '0');
            else if (h >= 'a' && h <= 'f')
                v |= static_cast<std::uint32_t>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                v |= static_cast<std::uint32_t>(h - 'A' + 10);
            else {
                fail("bad \\u escape");
                return std::nullopt;
            }
        }
        return v;
    }

    std::optional<std::string> parseString() {
        ++pos_; // opening quote
        std::string out;
        while (pos_ < s_.size()) {
            char c = s_[pos_++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20) {
                fail("control character in string");
                return std::nullopt;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size())
                break;
            char e = s_[pos_++];
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                auto cp = parseHex4();
                if (!cp)
                    return std::nullopt;
                if (*cp >= 0xD800 && *cp <= 0xDBFF && s_.compare(pos_, 2, "\\u") == 0) {
                    pos_ += 2;
                    auto low = parseHex4();
                    if (!low)
                        return std::nullopt;
                    if (*low < 0xDC00 || *low > 0xDFFF) {
                        fail("bad surrogate pair");
                        return std::nullopt;
                    }
                    *cp = 0x10000 + ((*cp - 0xD800) << 10) + (*low - 0xDC00);
                } else if (*cp >= 0xD800 && *cp <= 0xDFFF) {
                    fail("lone surrogate");
                    return std::nullopt;
                }
                appendUtf8(out, *cp);
                break;
            }
            default:
                fail("bad escape");
                return std::nullopt;
            }
        }
        fail("unterminated string");
        return std::nullopt;
    }

    std::optional<PlistValue> parseNumber() {
        std::size_t start = pos_;
        if (s_[pos_] == '-')
            ++pos_;
        bool isReal = false;
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (c >= '0' && c <= '9') {
                ++pos_;
            } else if (c == '.' || c == 'e' || c == 'E' || c == '+' || (c == '-' && pos_ > start)) {
                isReal = true;
                ++pos_;
            } else {
                break;
            }
        }
        std::string text = s_.substr(start, pos_ - start);
        if (text == "-" || text.empty()) {
            fail("bad number");
            return std::nullopt;
        }
        char* end = nullptr;
        errno = 0;
        if (!isReal) {
            long long v = std::strtoll(text.c_str(), &end, 10);
            if (errno == ERANGE || *end != '\0') {
                fail("integer out of range");
                return std::nullopt;
            }
            return PlistValue(static_cast<std::int64_t>(v));
        }
        double d = std::strtod(text.c_str(), &end);
        if (*end != '\0' || !std::isfinite(d)) {
            fail("bad number");
            return std::nullopt;
        }
        return PlistValue(d);
    }

    const std::string& s_;
    std::size_t pos_ = 0;
    std::string error_;
};

} // namespace

std::string toCompactJson(const PlistValue& value) {
    std::string out;
    appendJson(out, value);
    return out;
}

std::optional<PlistValue> parseJson(const std::string& text, std::string* error) {
    return JsonParser(text).parseDocument(error);
}

} // namespace velmora
