// SPDX-License-Identifier: MIT
#pragma once
// The program's messages (its logging categories, backends/qt/log_categories.h) and Qt's own
// warnings (from its X11 plugin, for example "The X11 connection broke") go to standard error:
// one line each, starting with "velmora: ", so that a user reading the session's log can tell
// who said it. Which categories and levels are on is Qt's business (QT_LOGGING_RULES).

#include <string>

namespace velmora::program {

// Routes the program's lines ("velmora: LINE") and Qt's (through formatQtMessage) to standard
// error. Call before the QApplication is made.
void installQtMessageHandler();

// MESSAGE as the program prints it: each of its lines prefixed with "velmora: ", blank lines
// dropped, a final newline.
std::string formatQtMessage(const std::string& message);

} // namespace velmora::program
