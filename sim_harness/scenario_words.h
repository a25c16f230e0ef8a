// SPDX-License-Identifier: MIT
#pragma once
// Small readers for the words of a statement, each refusing bad input with a clear reason.

#include "scenario.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

namespace velmora::sim {

// A whole number, decimal or 0x hexadecimal.
std::optional<std::int64_t> parseInteger(const std::string& text);
std::optional<std::uint64_t> parseHex(const std::string& text);
// A table row: a whole number of at least 0.
bool parseRow(ParseContext& context, const Word& word, std::int64_t& row);
// A number that may have a fraction.
std::optional<double> parseDecimal(const std::string& text);

// Splits the words after the name into positional words and options. Options must be among
// ALLOWED, each at most once, and stand after the positional words. Fails with a reason.
struct SplitWords {
    std::vector<Word> positional;
    std::map<std::string, Word> options;
};
bool splitWords(ParseContext& context, std::initializer_list<const char*> allowed, SplitWords& out);
bool expectPositional(ParseContext& context, const SplitWords& words, std::size_t min,
                      std::size_t max);
// yes|no option; DEFAULTVALUE when absent.
bool yesNoOption(ParseContext& context, const SplitWords& words, const char* key, bool defaultValue,
                 bool& out);

} // namespace velmora::sim
