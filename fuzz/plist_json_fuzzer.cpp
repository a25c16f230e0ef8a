// SPDX-License-Identifier: MIT
// The JSON values of scenario files (stored values, expectations). A value that parses must
// print as compact JSON that parses again to the same value; an integer and a real of equal
// value count as the same, as the printed form of a whole real is an integer.

#include "fuzz_support.h"

#include "plist_json.h"

#include <cstdint>
#include <string>

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
    velmora::fuzz::check(velmora::fuzz::sameValue(*value, *reread, velmora::fuzz::Numbers::ByValue),
                         "a JSON value changes when printed and read");
    return 0;
}
