// SPDX-License-Identifier: MIT
#pragma once
// The subcommands that only look: they read the settings file and never change it, not even a
// bad one (only the agent and "velmora rule" move a bad file aside).

#include "store/plist_file_defaults.h"

#include <ostream>
#include <string>

namespace velmora::program {

// False, with a line on ERR naming the file and the reason, when the settings file exists but
// cannot be used. A missing or empty file is fine.
bool settingsFileReadable(std::ostream& err, const std::string& path = defaultSettingsFilePath());
// "velmora rules". Exit status: 0, or 1 when the settings file cannot be used (nothing on OUT).
int listRules(std::ostream& out, std::ostream& err,
              const std::string& path = defaultSettingsFilePath());

} // namespace velmora::program
