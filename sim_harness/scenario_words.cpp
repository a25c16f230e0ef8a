// SPDX-License-Identifier: MIT
#include "scenario_words.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>

namespace velmora::sim {

std::optional<std::int64_t> parseInteger(const std::string& text) {
    if (text.starts_with("0x") || text.starts_with("0X")) {
        auto hex = parseHex(text);
        if (!hex || *hex > static_cast<std::uint64_t>(INT64_MAX))
            return std::nullopt;
        return static_cast<std::int64_t>(*hex);
    }
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

bool parseRow(ParseContext& c, const Word& word, std::int64_t& row) {
    auto value = parseInteger(word.text);
    if (word.quoted || !value || *value < 0)
        return c.fail("row must be a whole number of at least 0: " + word.text);
    row = *value;
    return true;
}

std::optional<std::uint64_t> parseHex(const std::string& text) {
    if (!(text.starts_with("0x") || text.starts_with("0X")) || text.size() == 2)
        return std::nullopt;
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data() + 2, text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> parseDecimal(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(text.c_str(), &end);
    if (errno == ERANGE || end != text.c_str() + text.size())
        return std::nullopt;
    return value;
}

bool splitWords(ParseContext& context, std::initializer_list<const char*> allowed,
                SplitWords& out) {
    for (std::size_t i = 1; i < context.words.size(); ++i) {
        const Word& word = context.words[i];
        if (!word.key) {
            if (!out.options.empty())
                return context.fail("word after the options: " + word.text);
            out.positional.push_back(word);
            continue;
        }
        bool known = false;
        for (const char* k : allowed)
            known = known || *word.key == k;
        if (!known)
            return context.fail("unknown option: " + *word.key);
        if (out.options.count(*word.key))
            return context.fail("option given twice: " + *word.key);
        out.options.emplace(*word.key, word);
    }
    return true;
}

bool expectPositional(ParseContext& context, const SplitWords& words, std::size_t min,
                      std::size_t max) {
    if (words.positional.size() < min)
        return context.fail("missing argument to " + context.words[0].text);
    if (words.positional.size() > max)
        return context.fail("too many arguments to " + context.words[0].text);
    return true;
}

bool yesNoOption(ParseContext& context, const SplitWords& words, const char* key, bool defaultValue,
                 bool& out) {
    auto it = words.options.find(key);
    if (it == words.options.end()) {
        out = defaultValue;
        return true;
    }
    if (it->second.value == "yes")
        out = true;
    else if (it->second.value == "no")
        out = false;
    else
        return context.fail(std::string(key) + " must be yes or no");
    return true;
}

} // namespace velmora::sim
