// SPDX-License-Identifier: MIT
#pragma once
// Typed access to the defaults domain: every key with its type and absent meaning, the rule
// lookup and the rule-record update that every writer of rules uses.
//
// The store is read at the moment of use and never cached here, so a change made by the
// editor or by another program is seen by the very next read.

#include "platform/property_list.h"
#include "platform/user_defaults.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace velmora {

namespace keys {
inline constexpr const char* kRules = "velmora";                       // dictionary
inline constexpr const char* kOrderOfAppsRule = "orderOfAppsRule";     // array of strings
inline constexpr const char* kNotDisplayAppName = "notDisplayAppName"; // array of strings
inline constexpr const char* kShortcutOfInput = "shortcutOfInput";     // dictionary
inline constexpr const char* kEnableTipOfState = "enableTipOfState";   // boolean
inline constexpr const char* kFollowWindow = "followWindow";           // boolean
inline constexpr const char* kEnableBrowserAddressEnglish = "enableBrowserAddressEnglish";
inline constexpr const char* kAutoStartAtLogin = "autoStartAtLogin"; // boolean
inline constexpr const char* kHideMenuBarIcon = "hideMenuBarIcon";   // boolean
inline constexpr const char* kChangedTimes = "changedTimes";         // integer or "0"
} // namespace keys

// Keys of a rule record.
namespace record {
inline constexpr const char* kId = "id";
inline constexpr const char* kEnglishSymbol = "English Symbol";
} // namespace record

// Whether VALUE has a type that KEY may hold. Unknown keys accept every value.
bool hasExpectedType(const std::string& key, const PlistValue& value);

class Settings {
  public:
    explicit Settings(UserDefaults& defaults) : defaults_(defaults) {}

    // The value under KEY; none when absent or when its type is not the key's type.
    std::optional<PlistValue> objectForKey(const std::string& key) const;
    // False when absent. A number reads as true when not zero. A string reads as true when it
    // starts (after blanks) with Y, y, T or t, or spells a number that is not zero: "YES",
    // "yes", "true", "1" and "-2" read true; "NO", "false", "0" and "maybe" read false.
    bool boolForKey(const std::string& key) const;
    // 0 when absent; a string reads as the integer it begins with ("0" reads 0), otherwise 0.
    // Reals drop their fraction; NaN reads 0; anything beyond the 64-bit range holds at its
    // ends, so a stored 1e30 reads INT64_MAX.
    std::int64_t integerForKey(const std::string& key) const;

    void setObjectForKey(const PlistValue& value, const std::string& key);
    void setBoolForKey(bool value, const std::string& key);
    void setIntegerForKey(std::int64_t value, const std::string& key);
    void removeObjectForKey(const std::string& key);
    void synchronize();

    // The rules dictionary; empty when absent or of the wrong type.
    PlistDictionary rules() const;
    // The input source ID of BUNDLE's rule; none when the application has no rule (no record,
    // a record that is no dictionary, no "id", or an "id" that is not a string).
    std::optional<std::string> ruleInputSourceID(const std::string& bundleIdentifier) const;
    // Reads the rules, lets CHANGE edit a copy of BUNDLE's record (empty when absent), stores
    // the whole rules dictionary and flushes.
    void updateRuleRecord(const std::string& bundleIdentifier,
                          const std::function<void(PlistDictionary&)>& change);

    UserDefaults& store() { return defaults_; }

  private:
    UserDefaults& defaults_;
};

} // namespace velmora
