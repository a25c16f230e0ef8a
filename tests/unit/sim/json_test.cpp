// SPDX-License-Identifier: MIT
// The JSON form of stored values, as the trace prints them and scenarios write them.

#include "plist_json.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

PlistValue parsed(const std::string& text) {
    std::string error;
    auto value = parseJson(text, &error);
    EXPECT_TRUE(value) << text << ": " << error;
    return value.value_or(PlistValue());
}

TEST(Json, CompactFormSortsKeysByByteAndKeepsUnicode) {
    auto value = parsed(R"( { "b": [1, true, "x"], "B": {"z": false}, "ä": "聚焦", "a": -3 } )");
    EXPECT_EQ(toCompactJson(value), R"({"B":{"z":false},"a":-3,"b":[1,true,"x"],"ä":"聚焦"})");
}

TEST(Json, StringEscapesRoundTrip) {
    PlistValue value(std::string("quote\" back\\ line\n tab\t bell\x07"));
    std::string text = toCompactJson(value);
    EXPECT_EQ(text, R"("quote\" back\\ line\n tab\t bell\u0007")");
    EXPECT_EQ(parsed(text), value);
    EXPECT_EQ(parsed(R"("\u00e4\ud83d\ude00")"), PlistValue("ä\xf0\x9f\x98\x80"));
}

TEST(Json, NumbersKeepTheirKind) {
    EXPECT_EQ(parsed("-9223372036854775808"), PlistValue(std::int64_t(INT64_MIN)));
    EXPECT_EQ(parsed("2.5"), PlistValue(2.5));
    EXPECT_EQ(toCompactJson(PlistValue(0.1)), "0.1");
    EXPECT_EQ(toCompactJson(PlistValue(-12.0)), "-12");
}

TEST(Json, RealsJsonCannotSpellPrintAsTheyAreRead) {
    for (const char* text : {"NaN", "Infinity", "-Infinity"}) {
        const PlistValue value = parsed(text);
        ASSERT_TRUE(value.isReal()) << text;
        EXPECT_EQ(toCompactJson(value), text);
    }
    EXPECT_EQ(toCompactJson(parsed("[-Infinity, {\"a\": NaN}]")), "[-Infinity,{\"a\":NaN}]");
}

TEST(Json, BadTextIsRefusedWithAReason) {
    for (const char* bad : {"", "{", "[1,]", "{\"a\" 1}", "tru", "\"open", "1 2", "01x",
                            "99999999999999999999", "\"\\ud800\"", "{1: 2}", "\"a\nb\""}) {
        std::string error;
        EXPECT_FALSE(parseJson(bad, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    std::string deep(10000, '[');
    std::string error;
    EXPECT_FALSE(parseJson(deep, &error));
}

} // namespace
} // namespace velmora
