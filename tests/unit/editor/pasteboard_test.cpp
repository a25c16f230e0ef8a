// SPDX-License-Identifier: MIT
// The archived index set of a row drag: what it reads back, and data it refuses.

#include "platform/pasteboard.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

Data bytes(const std::string& text) {
    return Data(text.begin(), text.end());
}

TEST(IndexSetArchive, RoundTripsAndRefusesAnythingElse) {
    for (const IndexSet& set : {IndexSet{}, IndexSet{0}, IndexSet{3, 0, 12}, IndexSet{INT64_MAX}}) {
        auto decoded = unarchiveIndexSet(archivedDataWithRootObject(set));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, set);
    }
    EXPECT_EQ(archivedDataWithRootObject({2, 0}), bytes("velmora-index-set:0,2"));
    for (const char* bad :
         {"", "velmora-index-set", "other:1", "velmora-index-set:,", "velmora-index-set:1,",
          "velmora-index-set:-1", "velmora-index-set:+1", "velmora-index-set:2,1",
          "velmora-index-set:1,1", "velmora-index-set: 1", "velmora-index-set:1a",
          "velmora-index-set:99999999999999999999"})
        EXPECT_FALSE(unarchiveIndexSet(bytes(bad))) << bad;
}

} // namespace
} // namespace velmora
