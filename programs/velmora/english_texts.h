// SPDX-License-Identifier: MIT
#pragma once
// The program's own texts whose lookup keys are not English (the settings menu's tip about
// Alfred is keyed by its original Chinese text), each with the English text the Qt face shows.

#include <map>
#include <string>

namespace velmora::program {

std::map<std::string, std::string> englishTextsOfOwnKeys();

} // namespace velmora::program
