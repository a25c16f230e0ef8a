// SPDX-License-Identifier: MIT
#pragma once
// The drag pasteboard, and the archived form of a set of row indexes that the rule table
// puts on it.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora {

inline constexpr const char* kRowDragType = "NSStringPboardType";

using IndexSet = std::set<std::int64_t>;
using Data = std::vector<std::uint8_t>;

class Pasteboard {
  public:
    Pasteboard() = default;
    Pasteboard(const Pasteboard&) = delete;
    Pasteboard& operator=(const Pasteboard&) = delete;
    virtual ~Pasteboard() = default;

    // Clears the pasteboard and announces the types its data will come in.
    virtual void declareTypes(const std::vector<std::string>& types) = 0;
    // Puts DATA under TYPE; false when TYPE was not declared.
    virtual bool setDataForType(const Data& data, const std::string& type) = 0;
    // The data under TYPE; none when there is none.
    virtual std::optional<Data> dataForType(const std::string& type) const = 0;
};

// The keyed archive of an index set, in a plain form of our own: the ASCII text
// "velmora-index-set:" followed by the indexes in ascending decimal, separated by commas
// ("velmora-index-set:0,3"; "velmora-index-set:" for the empty set). Indexes are at least 0.
Data archivedDataWithRootObject(const IndexSet& indexes);
// The index set in DATA; none when DATA is not such an archive (another prefix, a sign, a
// character that is not a digit or a comma, an empty or out-of-range number, indexes out of
// order or repeated).
std::optional<IndexSet> unarchiveIndexSet(const Data& data);

} // namespace velmora
