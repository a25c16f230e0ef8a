// The JSON values of scenario files (stored values, expectations). A value that parses must
// print as compact JSON that parses again to the same value; an integer and a real of equal
// value count as the same, as the printed form of a whole real is an integer.

#include "fuzz_support.h"

#include "plist_json.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace {

using velmora::PlistValue;

bool same(const PlistValue& a, const PlistValue& b) {
    if (a.isNumber() && b.isNumber())
        return *a.number() == *b.number() || (std::isnan(*a.number()) && std::isnan(*b.number()));
    if (a.type() != b.type())
        return false;
    if (a.isArray()) {
        if (a.array()->size() != b.array()->size())
            return false;
        for (std::size_t i = 0; i < a.array()->size(); ++i)
            if (!same((*a.array())[i], (*b.array())[i]))
                return false;
        return true;
    }
    if (a.isDictionary()) {
        if (a.dictionary()->size() != b.dictionary()->size())
            return false;
        for (const auto& [key, value] : *a.dictionary()) {
            const PlistValue* other = b.find(key);
            if (!other || !same(value, *other))
                return false;
        }
        return true;
    }
    return a == b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto value = velmora::parseJson(text, &error);
    if (!value) {
        velmora::fuzz::check(!error.empty(), "refused JSON without a reason");
        return 0;
    }
    const std::string printed = velmora::toCompactJson(*value);
    std::string again;
    auto reread = velmora::parseJson(printed, &again);
    velmora::fuzz::check(reread.has_value(), "printed JSON does not parse");
    velmora::fuzz::check(same(*value, *reread), "a JSON value changes when printed and read");
    return 0;
}
