// SPDX-License-Identifier: MIT
#pragma once
// The agent's keyboard layouts, with a note on standard error when a rule names a layout that
// the current keymap does not have. Such a rule is skipped at every activation; without the
// note the user sees only that nothing happens. Each layout is noted once per keymap: once more
// after the keymap changed, never at every activation.

#include "platform/application.h"
#include "platform/text_input_sources.h"

#include <set>
#include <string>
#include <utility>

namespace velmora::program {

class MissingLayoutNotes final : public InputSources {
  public:
    MissingLayoutNotes(InputSources& sources, Application& log) : sources_(sources), log_(log) {}

    std::optional<InputSource> currentSource() override { return sources_.currentSource(); }
    // A search for one ID among the enabled layouts that finds nothing is what a selection
    // does before it gives up: that is where the note is made.
    std::vector<InputSource> sourcesMatching(const std::optional<std::string>& id,
                                             bool includeAllInstalled) override;
    void select(const InputSource& source) override { sources_.select(source); }
    bool isSameSource(const std::string& id, const std::string& currentID) override {
        return sources_.isSameSource(id, currentID);
    }

  private:
    InputSources& sources_;
    Application& log_;
    // (layout ID, the keymap's layout IDs) already noted. Bounded: a user would have to
    // change keymaps thousands of times for it to be emptied and a note to come again.
    std::set<std::pair<std::string, std::string>> noted_;
};

} // namespace velmora::program
