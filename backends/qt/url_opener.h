#pragma once
// Opening a web page (or any URL) with the program the desktop assigns to its scheme, through
// xdg-open. Only absolute URLs of a few hundred characters at most are handed on; anything
// else, and a desktop without xdg-open, gives one line in the log.

#include <functional>
#include <string>

namespace velmora::qt {

// Whether URL went to the desktop's handler (started; whether it opened is the handler's).
bool openURLWithDesktop(const std::string& url, const std::function<void(const std::string&)>& log);

} // namespace velmora::qt
