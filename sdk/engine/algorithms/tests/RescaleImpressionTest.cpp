#include <gtest/gtest.h>

#include "engine/algorithms/RescaleImpression.h"

namespace vela::engine {
namespace {

Impression WithMinutiae(std::initializer_list<std::array<int, 3>> minutiae)
{
    Impression impression;
    impression.quality = 60;
    impression.blocks.fill(20);
    int i = 0;
    for (const auto& m : minutiae) {
        impression.x[i] = static_cast<uint8_t>(m[0]);
        impression.y[i] = static_cast<uint8_t>(m[1]);
        impression.direction[i] = static_cast<uint8_t>(m[2]);
        ++i;
    }
    impression.count = static_cast<uint8_t>(i);
    return impression;
}

TEST(ScaleDirectionMapTest, StretchingMovesOnlyTheOblique)
{
    const auto& map = ScaleDirectionMap();
    for (int v = 0; v < 60; ++v) {
        int expected = v;
        if (v >= 5 && v <= 24)
            expected = v + 1;
        else if (v >= 36 && v <= 55)
            expected = v - 1;
        EXPECT_EQ(map[v], expected) << v;
    }
    EXPECT_EQ(map[60], 60);
    EXPECT_EQ(map[61], 61);
    EXPECT_EQ(map[15], 16);
    EXPECT_EQ(map[45], 44);
    EXPECT_EQ(map[30], 30);
}

TEST(RescaleImpressionTest, EnlargesAboutTheCentreAndDropsWhatLeaves)
{
    // (72, 100) stays; x 140 lands on 147 and y 190 on 210, both outside;
    // (80, 110) lands on (81, 112).
    const Impression source = WithMinutiae({{72, 100, 3}, {140, 100, 5}, {72, 190, 7}, {80, 110, 9}, {10, 20, 23}});
    const Impression scaled = RescaleImpression(source);
    ASSERT_EQ(scaled.count, 3);
    EXPECT_EQ(scaled.x[0], 72);
    EXPECT_EQ(scaled.y[0], 100);
    EXPECT_EQ(scaled.direction[0], 3);
    EXPECT_EQ(scaled.x[1], 81);
    EXPECT_EQ(scaled.y[1], 112);
    EXPECT_EQ(scaled.direction[1], 9);
    EXPECT_EQ(scaled.x[2], 4);    // (10 - 72) x 1.1013 = -68.28 -> -68
    EXPECT_EQ(scaled.y[2], 2);    // (20 - 100) x 1.2195 = -97.56 -> -98
    EXPECT_EQ(scaled.direction[2], 23);
    EXPECT_EQ(scaled.x[3], 0);    // the tail stays empty
    EXPECT_EQ(scaled.quality, source.quality);
}

TEST(RescaleImpressionTest, BlocksComeFromNearerTheCentreWithStretchedDirections)
{
    Impression source = WithMinutiae({});
    for (int r = 0; r < kBlockRows; ++r) {
        for (int c = 0; c < kBlockColumns; ++c)
            source.blocks[r * kBlockColumns + c] = static_cast<uint8_t>(r == 2 && c == 1 ? 15 : 30);
    }
    source.blocks[12 * kBlockColumns + 9] = 45;
    source.blocks[24 * kBlockColumns + 17] = 61;
    const Impression scaled = RescaleImpression(source);
    // Output row 0 comes from source row 2, output column 0 from column 1.
    EXPECT_EQ(scaled.blocks[0], 16);
    EXPECT_EQ(scaled.blocks[12 * kBlockColumns + 9], 44);
    EXPECT_EQ(scaled.blocks[5 * kBlockColumns + 5], 30);
    // Row 24 samples row 22 and column 17 samples column 16: no block comes from off the grid.
    EXPECT_EQ(scaled.blocks[24 * kBlockColumns + 17], 30);
    for (uint8_t value : scaled.blocks)
        EXPECT_NE(value, 61);
}

TEST(RescaleImpressionTest, CorruptValuesStayOnTheTables)
{
    Impression source = WithMinutiae({{72, 100, 3}});
    source.blocks.fill(200);
    const Impression scaled = RescaleImpression(source);
    for (uint8_t value : scaled.blocks)
        EXPECT_EQ(value, 61);
}

} // namespace
} // namespace vela::engine
