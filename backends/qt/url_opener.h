// SPDX-License-Identifier: MIT
#pragma once
// Opening a web page (or any URL) with the program the desktop assigns to its scheme, through
// QDesktopServices (the XDG portal where the program runs sandboxed, else xdg-open). Only
// absolute URLs of at most 2048 characters are handed on; anything else, and a desktop where
// nothing opens it, gives one line in the log.

#include <functional>
#include <string>

namespace velmora::qt {

// Whether URL went to the desktop's handler (started; whether it opened is the handler's).
bool openURLWithDesktop(const std::string& url, const std::function<void(const std::string&)>& log);

} // namespace velmora::qt
