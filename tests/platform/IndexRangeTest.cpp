#include "platform/IndexRange.h"

#include <gtest/gtest.h>

#include <vector>

using d3d::IndicesWithin;

TEST(IndexRange, EveryIndexMustLieInTheDrawsRange)
{
    const std::vector<uint16_t> small = {4, 5, 6, 4, 6, 7};
    const auto* s = reinterpret_cast<const uint8_t*>(small.data());
    EXPECT_TRUE(IndicesWithin(s, 2, 6, 4, 8));
    EXPECT_FALSE(IndicesWithin(s, 2, 6, 4, 7)); // 7 is one past the range
    EXPECT_FALSE(IndicesWithin(s, 2, 6, 5, 8)); // 4 lies below it
    EXPECT_TRUE(IndicesWithin(s, 2, 0, 0, 0));  // nothing to draw reads nothing

    const std::vector<uint32_t> wide = {0, 70000, 1};
    const auto* w = reinterpret_cast<const uint8_t*>(wide.data());
    EXPECT_TRUE(IndicesWithin(w, 4, 3, 0, 70001));
    EXPECT_FALSE(IndicesWithin(w, 4, 3, 0, 70000));
}
