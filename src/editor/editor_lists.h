// SPDX-License-Identifier: MIT
#pragma once
// The lists behind the popover's two tables, shared by every popover controller of the
// program and owned by the application delegate: the application list (the rule table's
// rows) and the input source catalogue, one row per input source.
//
// Main thread only.

#include "platform/images.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The first item of every input source choice: no input source.
inline constexpr const char* kNoInputSourceItem = "-";

// An input source the user can choose: one row of the catalogue.
struct CatalogueEntry {
    std::string id;        // its input source ID
    std::string inputName; // its localized name
    ImagePtr icon;         // nullptr when none could be made
    bool operator==(const CatalogueEntry&) const = default;
};

struct EditorLists {
    // Bundle identifiers, without duplicates; row i of the rule table shows element i. None
    // until the popover's view has loaded; from then on only removals take entries out.
    std::optional<std::vector<std::string>> allApplications;
    // The catalogue, in the order the desktop lists its input sources.
    std::vector<CatalogueEntry> catalogue;
    // True while the popover is expanded. Reset at every showing, flipped by each toggle.
    bool popoverOpened = false;

    // What a rule's choice box offers: "-", then every catalogue entry's name.
    std::vector<std::string> sourceChoices() const {
        std::vector<std::string> choices{kNoInputSourceItem};
        for (const CatalogueEntry& entry : catalogue)
            choices.push_back(entry.inputName);
        return choices;
    }
};

} // namespace velmora
