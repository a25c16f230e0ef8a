// SPDX-License-Identifier: MIT
#include "trace.h"

#include <ostream>

namespace velmora::sim {

void Trace::emit(const std::string& text) {
    std::string line = std::to_string(clock_()) + " " + text;
    if (out_)
        *out_ << line << '\n' << std::flush;
    lines_.push_back(std::move(line));
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += "\\\"";
        else if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    out += '"';
    return out;
}

} // namespace velmora::sim
