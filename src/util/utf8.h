// SPDX-License-Identifier: MIT
#pragma once
// UTF-8 as the agent accepts it from outside (command output, X properties, desktop files):
// shortest forms only, no UTF-16 surrogates, nothing past U+10FFFF.

#include <cstddef>
#include <string_view>

namespace velmora::util {

// Length of the well-formed sequence at the start of BYTES, or 0 when there is none (BYTES
// empty, or starting with a stray, overlong, cut-short or out-of-range sequence).
std::size_t utf8SequenceLength(std::string_view bytes);

// Whether all of BYTES is well-formed UTF-8. A NUL byte is UTF-8 too; callers that keep text
// as C strings refuse it themselves.
bool isValidUtf8(std::string_view bytes);

} // namespace velmora::util
