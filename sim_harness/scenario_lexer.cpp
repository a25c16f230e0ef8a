// SPDX-License-Identifier: MIT
#include "scenario_lexer.h"

namespace velmora::sim {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Reads a string starting at the opening quote; leaves POS after the closing quote.
bool readString(const std::string& line, std::size_t& pos, std::string& out, std::string* error) {
    ++pos;
    while (pos < line.size()) {
        char c = line[pos++];
        if (c == '"')
            return true;
        if (c == '\\' && pos < line.size() && (line[pos] == '"' || line[pos] == '\\')) {
            out += line[pos++];
            continue;
        }
        out += c;
    }
    *error = "unterminated string";
    return false;
}

} // namespace

std::optional<std::string> stripComment(const std::string& line, std::string* error) {
    bool inString = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (inString) {
            if (c == '\\' && i + 1 < line.size())
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '#') {
            return line.substr(0, i);
        }
    }
    if (inString) {
        *error = "unterminated string";
        return std::nullopt;
    }
    return line;
}

bool lexWords(const std::string& line, std::vector<Word>& words, std::string* error,
              const std::function<bool(const std::vector<Word>&)>& stop) {
    std::size_t pos = 0;
    while (pos < line.size()) {
        if (stop && stop(words))
            return true;
        if (isBlank(line[pos])) {
            ++pos;
            continue;
        }
        Word word;
        word.column = pos;
        if (line[pos] == '"') {
            word.quoted = true;
            if (!readString(line, pos, word.text, error))
                return false;
            if (pos < line.size() && !isBlank(line[pos])) {
                *error = "missing blank after string";
                return false;
            }
            word.end = pos;
            words.push_back(std::move(word));
            continue;
        }
        std::size_t start = pos;
        while (pos < line.size() && !isBlank(line[pos]) && line[pos] != '"' && line[pos] != '=')
            ++pos;
        if (pos < line.size() && line[pos] == '=' && pos > start) {
            word.key = line.substr(start, pos - start);
            ++pos;
            if (pos < line.size() && line[pos] == '"') {
                word.valueQuoted = true;
                if (!readString(line, pos, word.value, error))
                    return false;
            } else {
                std::size_t v = pos;
                while (pos < line.size() && !isBlank(line[pos]))
                    ++pos;
                word.value = line.substr(v, pos - v);
            }
            word.text = *word.key + "=" + word.value;
        } else {
            while (pos < line.size() && !isBlank(line[pos]))
                ++pos;
            word.text = line.substr(start, pos - start);
        }
        if (pos < line.size() && !isBlank(line[pos])) {
            *error = "missing blank after word";
            return false;
        }
        word.end = pos;
        words.push_back(std::move(word));
    }
    return true;
}

} // namespace velmora::sim
