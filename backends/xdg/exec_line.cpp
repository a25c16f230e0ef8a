// SPDX-License-Identifier: MIT
#include "exec_line.h"

namespace velmora::xdg {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// The characters that have a meaning of their own in an unquoted Exec argument.
bool needsQuoting(char c) {
    constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
    return reserved.find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 0x20 ||
           c == 0x7F;
}

// \s, \n, \t, \r and \\ of a string value; any other backslash stays for the quoting layer.
std::string unescapeStringValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[i + 1]) {
        case 's':
            out += ' ', ++i;
            break;
        case 'n':
            out += '\n', ++i;
            break;
        case 't':
            out += '\t', ++i;
            break;
        case 'r':
            out += '\r', ++i;
            break;
        case '\\':
            out += '\\', ++i;
            break;
        default:
            out += '\\';
            break;
        }
    }
    return out;
}

// The first word by the quoting rules: double quotes with \" \` \$ \\ inside them. Single
// quotes and a backslash outside quotes are not in the rules, but files written for shells use
// them and the desktops accept them, so they are read the shell's way.
std::optional<std::string> firstWord(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    std::string word;
    for (; i < text.size() && !isBlank(text[i]); ++i) {
        const char c = text[i];
        if (c == '\\') {
            if (++i == text.size())
                return std::nullopt;
            word += text[i];
        } else if (c == '\'') {
            const std::size_t close = text.find('\'', i + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            word += text.substr(i + 1, close - i - 1);
            i = close;
        } else if (c == '"') {
            for (++i;; ++i) {
                if (i == text.size())
                    return std::nullopt;
                if (text[i] == '"')
                    break;
                constexpr std::string_view escapable = "\"`$\\";
                if (text[i] == '\\' && i + 1 < text.size() &&
                    escapable.find(text[i + 1]) != std::string_view::npos)
                    ++i;
                word += text[i];
            }
        } else {
            word += c;
        }
    }
    return word;
}

} // namespace

std::optional<std::string> execProgram(std::string_view value) {
    std::optional<std::string> word = firstWord(unescapeStringValue(value));
    if (!word || word->empty())
        return std::nullopt;
    std::string program;
    for (std::size_t i = 0; i < word->size(); ++i) {
        if ((*word)[i] != '%') {
            program += (*word)[i];
        } else if (i + 1 < word->size() && (*word)[i + 1] == '%') {
            program += '%', ++i;
        } else {
            return std::nullopt; // a field code stands for a file or URL, never a program
        }
    }
    return program;
}

std::string execValueFor(std::string_view program) {
    bool quote = program.empty();
    for (char c : program)
        quote = quote || needsQuoting(c);
    std::string exec = quote ? "\"" : "";
    for (char c : program) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            exec += '\\';
        exec += c;
        if (c == '%')
            exec += '%';
    }
    if (quote)
        exec += '"';
    std::string value;
    for (char c : exec) {
        switch (c) {
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        default:
            value += c;
            break;
        }
    }
    return value;
}

} // namespace velmora::xdg
