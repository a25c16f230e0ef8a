// SPDX-License-Identifier: MIT
#pragma once
// The rule subcommands: the same store operations as the rule editor, from the command line.

#include "engine/settings.h"

#include <ostream>
#include <string>

namespace velmora::program {

// One line per rule record, "APP<TAB>SOURCE-ID", in the order of the rules dictionary; a record
// without an input source ID shows "-".
void printRules(const Settings& settings, std::ostream& out);
// The record-update pattern: sets "id" and keeps the record's other keys.
void setRule(Settings& settings, const std::string& app, const std::string& sourceId);
// Removes "id" and keeps the record, as choosing "-" in the editor does.
void removeRule(Settings& settings, const std::string& app);

} // namespace velmora::program
