// SPDX-License-Identifier: MIT
#pragma once
// The one place that reads which keyboard input source is current and selects another.

#include "engine/settings.h"
#include "platform/text_input_sources.h"

#include <cstdint>
#include <string>

namespace velmora {

class InputSourceSelection {
  public:
    InputSourceSelection(Settings& settings, InputSources& sources)
        : settings_(settings), sources_(sources) {}

    // The current keyboard input source's ID; the empty string when none is current or the
    // current one has no ID. Always asked of the system, never cached.
    std::string currentInputSourceID();
    // Whether the current keyboard input source is the one ID names.
    bool isCurrent(const std::string& id) {
        return sources_.isSameSource(id, currentInputSourceID());
    }
    // Counts the request in "changedTimes" (not flushed), then selects the first enabled input
    // source with exactly ID, if there is one. Does not compare with the current source.
    void changeInputTo(const std::string& id);
    // How many selections the agent has asked for through changeInputTo since it started.
    std::uint64_t selectionCount() const { return selectionCount_; }

  private:
    Settings& settings_;
    InputSources& sources_;
    std::uint64_t selectionCount_ = 0;
};

} // namespace velmora
