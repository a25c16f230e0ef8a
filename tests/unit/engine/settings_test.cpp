// SPDX-License-Identifier: MIT
// Reading the defaults domain: types, absent meanings, rule lookup, record updates. (Keys of
// other programs kept: tests/store/agent_beside_rewriter.sh.)

#include "engine/settings.h"
#include "sim/memory_defaults.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace velmora {
namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void put(const std::string& key, PlistValue value) { store.setObjectForKey(value, key); }
    PlistValue rule(const std::string& id) { return PlistDictionary{{"id", PlistValue(id)}}; }

    sim::MemoryDefaults store;
    Settings settings{store};
};

TEST_F(SettingsTest, RuleLookupIsExactAndCaseSensitive) {
    put(keys::kRules,
        PlistDictionary{{"com.example.Mail", rule("German")}, {"com.example.mail", rule("ABC")}});
    EXPECT_EQ(settings.ruleInputSourceID("com.example.Mail"), "German");
    EXPECT_EQ(settings.ruleInputSourceID("com.example.mail"), "ABC");
    EXPECT_EQ(settings.ruleInputSourceID("com.example.MAIL"), std::nullopt);
    EXPECT_EQ(settings.ruleInputSourceID("com.example.mai"), std::nullopt);
}

// A rules value that is no dictionary, records that are none, numeric ids and a counter of the
// wrong type: engine-bad-store.scenario.
TEST_F(SettingsTest, RecordsWithoutAStringIdAreNoRules) {
    put(keys::kRules,
        PlistDictionary{{"empty", PlistDictionary{}},
                        {"arrayId", PlistDictionary{{"id", PlistArray{PlistValue("x")}}}}});
    for (const char* app : {"empty", "arrayId"})
        EXPECT_EQ(settings.ruleInputSourceID(app), std::nullopt) << app;
    put(keys::kRules, PlistArray{rule("x")});
    EXPECT_EQ(settings.ruleInputSourceID("x"), std::nullopt);
    EXPECT_TRUE(settings.rules().empty());
}

TEST_F(SettingsTest, CounterHoldsAtTheEndsOfItsRange) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    const std::pair<PlistValue, std::int64_t> cases[] = {
        {PlistValue("41"), 41},
        {PlistValue(12), 12},
        {PlistValue(3.9), 3},
        {PlistValue(1e30), kMax},
        {PlistValue(-1e30), kMin},
        {PlistValue(std::numeric_limits<double>::infinity()), kMax},
        {PlistValue(std::numeric_limits<double>::quiet_NaN()), 0},
        {PlistValue(9223372036854775807.0), kMax}, // rounds up to 2^63
        {PlistValue(kMax), kMax},
        {PlistValue("99999999999999999999"), kMax},
        {PlistValue(" -99999999999999999999"), kMin},
        {PlistValue("+17 times"), 17},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        put(keys::kChangedTimes, cases[i].first);
        EXPECT_EQ(settings.integerForKey(keys::kChangedTimes), cases[i].second) << "case " << i;
    }
    put(keys::kChangedTimes, PlistValue("0"));
    EXPECT_TRUE(settings.objectForKey(keys::kChangedTimes).has_value());
}

TEST_F(SettingsTest, BooleansReadNumbersAndStrings) {
    // NaN is not zero.
    for (const PlistValue& yes :
         {PlistValue(1), PlistValue(true), PlistValue(std::numeric_limits<double>::quiet_NaN())}) {
        put(keys::kFollowWindow, yes);
        EXPECT_TRUE(settings.boolForKey(keys::kFollowWindow));
    }
    for (const char* yes : {"YES", "yes", "Y", "true", "TRUE", "t", "1", " 1", "-2", "007", "+3"}) {
        put(keys::kFollowWindow, PlistValue(yes));
        EXPECT_TRUE(settings.boolForKey(keys::kFollowWindow)) << '"' << yes << '"';
    }
    for (const PlistValue& no : {PlistValue(0), PlistValue(PlistDictionary{})}) {
        put(keys::kFollowWindow, no);
        EXPECT_FALSE(settings.boolForKey(keys::kFollowWindow));
    }
    for (const char* no : {"NO", "no", "false", "0", "000", "", "  ", "maybe", "-", "0.5", "x1"}) {
        put(keys::kFollowWindow, PlistValue(no));
        EXPECT_FALSE(settings.boolForKey(keys::kFollowWindow)) << '"' << no << '"';
    }
}

// "-" clearing the id alone and a wrong-typed record made real by a choice, the other keys
// kept: editor-rules.scenario and editor-bad-input.scenario.
TEST_F(SettingsTest, RecordUpdateRepairsJunk) {
    put(keys::kRules, PlistDictionary{{"a", PlistValue(42)}, {"b", rule("ABC")}});
    settings.updateRuleRecord("a", [](PlistDictionary& r) { r["id"] = PlistValue("German"); });
    EXPECT_EQ(settings.ruleInputSourceID("a"), "German");
    EXPECT_EQ(settings.ruleInputSourceID("b"), "ABC");

    // A rules value of the wrong type is replaced only by a real write, starting empty.
    put(keys::kRules, PlistValue("junk"));
    settings.updateRuleRecord("c", [](PlistDictionary& r) { r["id"] = PlistValue("ABC"); });
    EXPECT_EQ(settings.rules().size(), 1u);
}

} // namespace
} // namespace velmora
