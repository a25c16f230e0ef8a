// SPDX-License-Identifier: MIT
#pragma once
// Where an XML property list that libplist refused goes wrong, for the message about the file:
// libplist only says that it failed. A real XML reader finds the line and column of the first
// mistake in the XML itself, and a walk of the elements finds the first one that is no part of
// a property list (an unknown element, a value in a dictionary without its key, an element
// inside a string).

#include <string>
#include <string_view>

namespace velmora::store {

// "line L, column C: WHAT" (both counted from 1) for the first mistake in BYTES; "" when none
// is found (BYTES is no XML document at all, or libplist refused it for another reason). Safe
// on any thread.
std::string xmlErrorPosition(std::string_view bytes);

} // namespace velmora::store
