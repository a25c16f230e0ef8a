// SPDX-License-Identifier: MIT
#include "engine/settings.h"

#include "platform/saturating_numbers.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <map>

namespace velmora {

namespace {

enum class Kind { Dictionary, StringArray, Boolean, Counter };

const std::map<std::string, Kind, std::less<>>& schema() {
    static const std::map<std::string, Kind, std::less<>> kinds = {
        {keys::kRules, Kind::Dictionary},
        {keys::kOrderOfAppsRule, Kind::StringArray},
        {keys::kNotDisplayAppName, Kind::StringArray},
        {keys::kShortcutOfInput, Kind::Dictionary},
        {keys::kEnableTipOfState, Kind::Boolean},
        {keys::kFollowWindow, Kind::Boolean},
        {keys::kEnableBrowserAddressEnglish, Kind::Boolean},
        {keys::kAutoStartAtLogin, Kind::Boolean},
        {keys::kHideMenuBarIcon, Kind::Boolean},
        {keys::kChangedTimes, Kind::Counter},
    };
    return kinds;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The integer TEXT begins with, after blanks and a sign; digits beyond the 64-bit range hold
// at its ends. None when no digit follows.
std::optional<std::int64_t> parseInteger(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    if (start < text.size() && text[start] == '+')
        ++start;
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data() + start, text.data() + text.size(), value);
    if (end == text.data() + start)
        return std::nullopt;
    if (ec == std::errc::result_out_of_range)
        return text[start] == '-' ? std::numeric_limits<std::int64_t>::min()
                                  : std::numeric_limits<std::int64_t>::max();
    if (ec != std::errc())
        return std::nullopt;
    return value;
}

// A stored string read as a boolean the way the desktop's own defaults read one: after
// blanks, "Y", "y", "T" or "t" is true, and so is a number whose first significant digit
// (after a sign and leading zeros) is 1-9. Everything else is false.
bool stringReadsTrue(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i == text.size())
        return false;
    const char first = text[i];
    if (first == 'Y' || first == 'y' || first == 'T' || first == 't')
        return true;
    if (first == '+' || first == '-')
        ++i;
    while (i < text.size() && text[i] == '0')
        ++i;
    return i < text.size() && text[i] >= '1' && text[i] <= '9';
}

} // namespace

bool hasExpectedType(const std::string& key, const PlistValue& value) {
    auto it = schema().find(key);
    if (it == schema().end())
        return true;
    switch (it->second) {
    case Kind::Dictionary:
        return value.isDictionary();
    case Kind::StringArray:
        return value.isArray(); // entries are checked by their readers
    case Kind::Boolean:
        return value.isBoolean() || value.isNumber() || value.isString();
    case Kind::Counter:
        return value.isInteger() || value.isReal() ||
               (value.isString() && parseInteger(*value.string()).has_value());
    }
    return false;
}

std::optional<PlistValue> Settings::objectForKey(const std::string& key) const {
    auto value = defaults_.objectForKey(key);
    if (value && !hasExpectedType(key, *value))
        return std::nullopt;
    return value;
}

bool Settings::boolForKey(const std::string& key) const {
    auto value = objectForKey(key);
    if (!value)
        return false;
    if (auto b = value->boolean())
        return *b;
    if (auto n = value->number())
        return *n != 0;
    if (auto s = value->string())
        return stringReadsTrue(*s);
    return false;
}

std::int64_t Settings::integerForKey(const std::string& key) const {
    auto value = objectForKey(key);
    if (!value)
        return 0;
    if (auto i = value->integer())
        return *i;
    if (auto r = value->real())
        return saturatingWhole<std::int64_t>(*r);
    if (auto b = value->boolean())
        return *b ? 1 : 0;
    if (auto s = value->string())
        return parseInteger(*s).value_or(0);
    return 0;
}

void Settings::setObjectForKey(const PlistValue& value, const std::string& key) {
    defaults_.setObjectForKey(value, key);
}

void Settings::setBoolForKey(bool value, const std::string& key) {
    defaults_.setObjectForKey(PlistValue(value), key);
}

void Settings::setIntegerForKey(std::int64_t value, const std::string& key) {
    defaults_.setObjectForKey(PlistValue(value), key);
}

void Settings::removeObjectForKey(const std::string& key) {
    defaults_.removeObjectForKey(key);
}

void Settings::synchronize() {
    defaults_.synchronize();
}

PlistDictionary Settings::rules() const {
    auto value = objectForKey(keys::kRules);
    if (!value)
        return {};
    return *value->dictionary();
}

std::optional<std::string> Settings::ruleInputSourceID(const std::string& bundleIdentifier) const {
    std::optional<std::string> result;
    defaults_.readObjectForKey(keys::kRules, [&](const PlistValue* rules) {
        if (!rules || !hasExpectedType(keys::kRules, *rules))
            return;
        const PlistValue* ruleRecord = rules->find(bundleIdentifier);
        if (!ruleRecord)
            return;
        const PlistValue* id = ruleRecord->find(record::kId);
        if (id && id->string())
            result = *id->string();
    });
    return result;
}

void Settings::updateRuleRecord(const std::string& bundleIdentifier,
                                const std::function<void(PlistDictionary&)>& change) {
    PlistDictionary all = rules();
    PlistDictionary ruleRecord;
    auto it = all.find(bundleIdentifier);
    if (it != all.end() && it->second.isDictionary())
        ruleRecord = *it->second.dictionary();
    change(ruleRecord);
    all.insert_or_assign(bundleIdentifier, PlistValue(std::move(ruleRecord)));
    defaults_.setObjectForKey(PlistValue(std::move(all)), keys::kRules);
    defaults_.synchronize();
}

} // namespace velmora
