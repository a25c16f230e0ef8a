// SPDX-License-Identifier: MIT
#pragma once
// The Exec key of a desktop entry, both ways: the program it starts, and the value that starts
// a given program. Two layers of escapes apply: the desktop file's string escapes (\s, \n, \t,
// \r, \\), then the Exec key's own quoting; "%%" stands for one "%".

#include <optional>
#include <string>
#include <string_view>

namespace velmora::xdg {

// The first word of the Exec value VALUE (as it stands in the file): none when it is empty,
// a field code, or has an unterminated quote. Later arguments, field codes among them, are not
// looked at.
std::optional<std::string> execProgram(std::string_view value);

// The Exec value that starts PROGRAM without arguments, quoted only when it must be.
std::string execValueFor(std::string_view program);

} // namespace velmora::xdg
