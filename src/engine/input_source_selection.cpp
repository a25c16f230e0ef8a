// SPDX-License-Identifier: MIT
#include "engine/input_source_selection.h"

#include "platform/saturating_numbers.h"

namespace velmora {

std::string InputSourceSelection::currentInputSourceID() {
    auto current = sources_.currentSource();
    if (!current || !current->inputSourceID)
        return {};
    return *current->inputSourceID;
}

void InputSourceSelection::changeInputTo(const std::string& id) {
    ++selectionCount_;
    // The counter holds at INT64_MAX rather than wrapping to a negative count.
    settings_.setIntegerForKey(saturatingAdd(settings_.integerForKey(keys::kChangedTimes), 1),
                               keys::kChangedTimes);
    auto matches = sources_.sourcesMatching(id, /*includeAllInstalled=*/false);
    if (!matches.empty())
        sources_.select(matches.front());
}

} // namespace velmora
