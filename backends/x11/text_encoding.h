// SPDX-License-Identifier: MIT
#pragma once
// Text from X properties arrives in whatever encoding the client chose: UTF8_STRING should be
// UTF-8 but may not be, STRING is Latin-1. The rest of the agent only ever sees valid UTF-8.

#include <string>
#include <string_view>
#include <vector>

namespace velmora::x11 {

// BYTES with every invalid UTF-8 sequence replaced by U+FFFD.
std::string sanitizeUtf8(std::string_view bytes);
// BYTES read as ISO 8859-1.
std::string latin1ToUtf8(std::string_view bytes);
// A STRING or COMPOUND_TEXT property: already UTF-8 when it decodes as such (many clients
// write UTF-8 there anyway), otherwise Latin-1.
std::string legacyTextToUtf8(std::string_view bytes);
// The NUL-separated strings of a property such as WM_CLASS; a missing final NUL is tolerated.
std::vector<std::string> splitNulSeparated(std::string_view bytes);

} // namespace velmora::x11
