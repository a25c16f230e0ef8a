#pragma once
// The lists behind the popover's two tables, shared by every popover controller of the
// program and owned by the application delegate: the application list (the rule table's
// rows) and the input source catalogue, kept in three index-aligned lists.
//
// Main thread only.

#include "platform/images.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The first item of every input source choice: no input source.
inline constexpr const char* kNoInputSourceItem = "-";

// An input source the user can choose.
struct CatalogueEntry {
    std::string id;        // its input source ID
    std::string inputName; // its localized name
    bool operator==(const CatalogueEntry&) const = default;
};

struct EditorLists {
    // Bundle identifiers, without duplicates; row i of the rule table shows element i. None
    // until the popover's view has loaded; from then on only removals take entries out.
    std::optional<std::vector<std::string>> allApplications;
    // The catalogue: entry i of arrOfInputName, item i + 1 of arrOfInputName2 (item 0 is
    // "-") and icon i of arrOfInputImage describe the same input source. An icon that could
    // not be made is nullptr, so the lists stay aligned.
    std::vector<CatalogueEntry> arrOfInputName;
    std::vector<std::string> arrOfInputName2{kNoInputSourceItem};
    std::vector<ImagePtr> arrOfInputImage;
    // True while the popover is expanded. Reset at every showing, flipped by each toggle.
    bool popoverOpened = false;
};

} // namespace velmora
