#pragma once
// Qt's own warnings (from its X11 plugin, for example "The X11 connection broke") go to standard
// error like every other message of the program: one line each, starting with "velmora: ", so
// that a user reading the session's log can tell who said it.

#include <string>

namespace velmora::program {

// Routes Qt's messages through formatQtMessage to standard error. Call before the
// QApplication is made.
void installQtMessageHandler();

// MESSAGE as the program prints it: each of its lines prefixed with "velmora: ", blank lines
// dropped, a final newline.
std::string formatQtMessage(const std::string& message);

} // namespace velmora::program
