// SPDX-License-Identifier: MIT
#pragma once
// show and expect: what each WHAT prints, and how an expectation is compared with it.

#include "scenario.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace velmora::sim {

struct ShowKind {
    // Checks the words after WHAT (for show; expect adds the expected words after these).
    std::size_t argumentCount = 0;
    // The printed lines, each starting with its own name ("current ...", "defaults ...").
    std::function<std::vector<std::string>(ScenarioRunner&, const std::vector<Word>& args)> print;
};

using ShowTable = std::map<std::string, ShowKind>;
ShowTable buildShowTable();
void addEngineShows(ShowTable& table);
void addEditorShows(ShowTable& table);
void addSettingsShows(ShowTable& table);

// Whether a printed line meets an expectation: positional words must all be equal, options
// only those the expectation names. Both are the words after the line's name.
bool lineMeetsExpectation(const std::vector<Word>& printed, const std::vector<Word>& expected);

} // namespace velmora::sim
