// SPDX-License-Identifier: MIT
#pragma once
// Lexical rules of scenario files: blank-separated words, "..." strings with escaped quotes
// and backslashes, key=value options whose value may be a string, # comments outside quotes.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::sim {

struct Word {
    std::string text;               // unescaped; for an option the whole "key=value" as written
    bool quoted = false;            // the whole word was a string
    std::optional<std::string> key; // set for key=value options
    std::string value;              // the option's value, unescaped
    bool valueQuoted = false;
    std::size_t column = 0; // where the word starts in the line (0-based)
    std::size_t end = 0;    // just after the word's last character
};

// The line without its comment. Sets ERROR and returns none on an unterminated string.
std::optional<std::string> stripComment(const std::string& line, std::string* error);
// Splits a comment-free line into words; false with ERROR set when it cannot. Lexing stops
// early, leaving the rest of the line unread, once STOP says so for the words read so far
// (statements whose last argument is a JSON value).
bool lexWords(const std::string& line, std::vector<Word>& words, std::string* error,
              const std::function<bool(const std::vector<Word>&)>& stop = {});

} // namespace velmora::sim
