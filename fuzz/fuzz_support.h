// SPDX-License-Identifier: MIT
#pragma once
// What the fuzz targets share: stopping on a broken promise of a reader, a scratch file for the
// readers that take a path, and property-list values built from fuzzer bytes.

#include "platform/property_list.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace velmora::fuzz {

// A reader broke what its header promises: report it the way a sanitizer would, so that the
// fuzzer keeps the input.
[[noreturn]] inline void broken(const char* what) {
    std::fprintf(stderr, "velmora fuzz: %s\n", what);
    std::abort();
}

inline void check(bool holds, const char* what) {
    if (!holds)
        broken(what);
}

// One file per fuzzing process, rewritten with every input, for readers that open a path.
class ScratchFile {
  public:
    ScratchFile() {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/velmora-fuzz-XXXXXX";
        int fd = mkstemp(path_.data());
        if (fd < 0)
            broken("cannot create a scratch file");
        close(fd);
    }
    ~ScratchFile() { unlink(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& write(std::string_view bytes) {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (!file)
            broken("cannot write the scratch file");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path_;
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Any property-list value, nested at most DEPTH deep, with a bias towards the shapes settings
// hold (small integers, reals near them, short strings).
inline PlistValue plistFrom(FuzzedDataProvider& data, int depth = 3) {
    switch (data.ConsumeIntegralInRange<int>(0, depth > 0 ? 7 : 5)) {
    case 0:
        return PlistValue(data.ConsumeIntegral<std::int64_t>());
    case 1:
        return PlistValue(static_cast<std::int64_t>(data.ConsumeIntegralInRange<int>(-2, 130)));
    case 2:
        return PlistValue(data.ConsumeFloatingPoint<double>());
    case 3:
        return PlistValue(data.ConsumeRandomLengthString(32));
    case 4:
        return PlistValue(data.ConsumeBool());
    case 5:
        return PlistValue(static_cast<double>(data.ConsumeIntegralInRange<int>(-2, 130)) +
                          (data.ConsumeBool() ? 0.5 : 0.0));
    case 6: {
        PlistArray array;
        for (int n = data.ConsumeIntegralInRange<int>(0, 4); n > 0; --n)
            array.push_back(plistFrom(data, depth - 1));
        return PlistValue(std::move(array));
    }
    default: {
        PlistDictionary dictionary;
        for (int n = data.ConsumeIntegralInRange<int>(0, 4); n > 0; --n) {
            std::string key = data.ConsumeRandomLengthString(16);
            dictionary.insert_or_assign(std::move(key), plistFrom(data, depth - 1));
        }
        return PlistValue(std::move(dictionary));
    }
    }
}

// How numbers compare in sameValue: by type and value, or by value alone (an integer equals a
// real of equal value, for a form that prints a whole real as an integer, as JSON does).
enum class Numbers { Typed, ByValue };

// A == B, except that a NaN equals a NaN: a value read twice must come back the same.
inline bool sameValue(const PlistValue& a, const PlistValue& b, Numbers numbers = Numbers::Typed) {
    if (numbers == Numbers::ByValue && a.isNumber() && b.isNumber())
        return *a.number() == *b.number() || (std::isnan(*a.number()) && std::isnan(*b.number()));
    if (a.isReal() && b.isReal() && *a.real() != *a.real())
        return *b.real() != *b.real();
    if (a.type() != b.type())
        return false;
    if (a.isArray()) {
        if (a.array()->size() != b.array()->size())
            return false;
        for (std::size_t i = 0; i < a.array()->size(); ++i)
            if (!sameValue((*a.array())[i], (*b.array())[i], numbers))
                return false;
        return true;
    }
    if (a.isDictionary()) {
        if (a.dictionary()->size() != b.dictionary()->size())
            return false;
        for (const auto& [key, value] : *a.dictionary()) {
            const PlistValue* other = b.find(key);
            if (!other || !sameValue(value, *other, numbers))
                return false;
        }
        return true;
    }
    return a == b;
}

// Whether TEXT is well-formed UTF-8 (shortest forms, no surrogates, at most U+10FFFF).
inline bool wellFormedUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t length = b < 0x80                 ? 1
                             : b >= 0xC2 && b <= 0xDF ? 2
                             : (b & 0xF0) == 0xE0     ? 3
                             : b >= 0xF0 && b <= 0xF4 ? 4
                                                      : 0;
        if (length == 0 || i + length > text.size())
            return false;
        std::uint32_t code = length == 1 ? b : b & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (c & 0x3F);
        }
        if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        i += length;
    }
    return true;
}

} // namespace velmora::fuzz
