// SPDX-License-Identifier: MIT
#pragma once
// The one value type of stored settings and window-list entries: a property-list value.
// Dictionaries keep their keys sorted (std::map), which also makes every printed form stable.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace velmora {

class PlistValue;
using PlistDictionary = std::map<std::string, PlistValue>;
using PlistArray = std::vector<PlistValue>;

class PlistValue {
  public:
    enum class Type { Dictionary, Array, String, Integer, Real, Boolean };

    PlistValue() : value_(PlistDictionary{}) {}
    PlistValue(PlistDictionary d) : value_(std::move(d)) {}
    PlistValue(PlistArray a) : value_(std::move(a)) {}
    PlistValue(std::string s) : value_(std::move(s)) {}
    PlistValue(const char* s) : value_(std::string(s)) {}
    PlistValue(std::int64_t i) : value_(i) {}
    PlistValue(int i) : value_(static_cast<std::int64_t>(i)) {}
    PlistValue(double r) : value_(r) {}
    PlistValue(bool b) : value_(b) {}

    Type type() const { return static_cast<Type>(value_.index()); }
    bool isDictionary() const { return type() == Type::Dictionary; }
    bool isArray() const { return type() == Type::Array; }
    bool isString() const { return type() == Type::String; }
    bool isInteger() const { return type() == Type::Integer; }
    bool isReal() const { return type() == Type::Real; }
    bool isBoolean() const { return type() == Type::Boolean; }
    bool isNumber() const { return isInteger() || isReal(); }

    // Typed access; each returns nullptr when the value holds another type.
    const PlistDictionary* dictionary() const { return std::get_if<PlistDictionary>(&value_); }
    PlistDictionary* dictionary() { return std::get_if<PlistDictionary>(&value_); }
    const PlistArray* array() const { return std::get_if<PlistArray>(&value_); }
    PlistArray* array() { return std::get_if<PlistArray>(&value_); }
    const std::string* string() const { return std::get_if<std::string>(&value_); }
    const std::int64_t* integer() const { return std::get_if<std::int64_t>(&value_); }
    const double* real() const { return std::get_if<double>(&value_); }
    const bool* boolean() const { return std::get_if<bool>(&value_); }

    // A number of either kind as a double; none for every other type.
    std::optional<double> number() const;

    // The entry under KEY of a dictionary; nullptr when this is no dictionary or the key is absent.
    const PlistValue* find(const std::string& key) const;

    bool operator==(const PlistValue& other) const = default;

  private:
    std::variant<PlistDictionary, PlistArray, std::string, std::int64_t, double, bool> value_;
};

} // namespace velmora
