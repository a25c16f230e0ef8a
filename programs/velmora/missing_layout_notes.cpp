// SPDX-License-Identifier: MIT
#include "missing_layout_notes.h"

namespace velmora::program {

namespace {

constexpr std::size_t kMaxNotes = 4096;

} // namespace

std::vector<InputSource> MissingLayoutNotes::sourcesMatching(const std::optional<std::string>& id,
                                                             bool includeAllInstalled) {
    auto found = sources_.sourcesMatching(id, includeAllInstalled);
    if (!found.empty() || !id || includeAllInstalled)
        return found;
    std::string keymap;
    for (const InputSource& source : sources_.sourcesMatching(std::nullopt, false))
        keymap += (keymap.empty() ? "" : ", ") + source.inputSourceID.value_or("-");
    if (noted_.size() >= kMaxNotes)
        noted_.clear();
    if (noted_.emplace(*id, keymap).second)
        log_.log("a rule names the keyboard layout " + *id +
                 ", which the keymap does not have now (" +
                 (keymap.empty() ? std::string("no layouts") : keymap) +
                 "); the rule is skipped until the layout is there");
    return found;
}

} // namespace velmora::program
