#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "engine/records/ShiftImpression.h"

namespace vela::engine {
namespace {

using test::MakeImpression;

uint8_t Block(const Impression& r, int row, int column)
{
    return r.blocks[row * kBlockColumns + column];
}

// Every block carries its own coordinates so a move is easy to read back.
Impression Numbered()
{
    Impression r = MakeImpression(80, 2, {{4, 4, 1}, {20, 30, 2}, {140, 196, 3}, {60, 60, 4}, {100, 190, 5}});
    for (int row = 0; row < kBlockRows; ++row) {
        for (int column = 0; column < kBlockColumns; ++column)
            r.blocks[row * kBlockColumns + column] = static_cast<uint8_t>((row * 7 + column) % 60);
    }
    // The minutia (60, 60) lands on this block when shifted by (1, 2).
    r.blocks[7 * kBlockColumns + 7] = kNoDirection;
    return r;
}

TEST(ShiftImpression, MovesBlocksAndFillsTheEdgeWithNoDirection)
{
    const Impression source = Numbered();
    const Impression shifted = ShiftImpression(source, 2, 3);
    for (int row = 0; row < kBlockRows; ++row) {
        for (int column = 0; column < kBlockColumns; ++column) {
            const uint8_t expected =
                row < 3 || column < 2 ? kNoDirection : Block(source, row - 3, column - 2);
            EXPECT_EQ(Block(shifted, row, column), expected) << row << "," << column;
        }
    }
    const Impression back = ShiftImpression(source, -1, -1);
    EXPECT_EQ(Block(back, 0, 0), Block(source, 1, 1));
    EXPECT_EQ(Block(back, 24, 0), kNoDirection);
    EXPECT_EQ(Block(back, 0, 17), kNoDirection);
}

TEST(ShiftImpression, KeepsMinutiaeThatStayOnTheMapInOrder)
{
    const Impression source = Numbered();
    // (a, b) = (1, 2): minutiae move by (8, 16) half pixels.
    //   (4, 4)     -> (12, 20): kept
    //   (20, 30)   -> (28, 46): kept
    //   (140, 196) -> (148, 212): off the map
    //   (60, 60)   -> (68, 76): block (9, 8) = source block (7, 7) = 61: dropped
    //   (100, 190) -> (108, 206): off the map
    const Impression shifted = ShiftImpression(source, 1, 2);
    ASSERT_EQ(shifted.count, 2);
    EXPECT_EQ(shifted.x[0], 12);
    EXPECT_EQ(shifted.y[0], 20);
    EXPECT_EQ(shifted.direction[0], 1);
    EXPECT_EQ(shifted.x[1], 28);
    EXPECT_EQ(shifted.y[1], 46);
    EXPECT_EQ(shifted.direction[1], 2);
    for (int i = 2; i < kMaxMinutiae; ++i)
        EXPECT_EQ(shifted.x[i] | shifted.y[i] | shifted.direction[i], 0) << i;

    // Moving left takes (4, 4) below x = 0.
    const Impression left = ShiftImpression(source, -1, 0);
    ASSERT_GE(left.count, 1);
    EXPECT_EQ(left.x[0], 12);
    EXPECT_EQ(left.y[0], 30);
}

TEST(ShiftImpression, HugeShiftsEmptyTheMap)
{
    const Impression shifted = ShiftImpression(Numbered(), INT32_MAX, INT32_MIN);
    EXPECT_EQ(shifted.count, 0);
    for (uint8_t block : shifted.blocks)
        EXPECT_EQ(block, kNoDirection);
}

TEST(ShiftImpression, RecordsInPlaceAndShortBuffers)
{
    const Impression source = Numbered();
    std::vector<uint8_t> record = test::ToRecord(source);
    ASSERT_TRUE(ShiftImpression(record.data(), record.size(), record.data(), record.size(), 1, 2));
    Impression inPlace;
    ASSERT_TRUE(ReadImpression(record.data(), record.size(), inPlace));
    EXPECT_EQ(inPlace, ShiftImpression(source, 1, 2));
    EXPECT_FALSE(ShiftImpression(record.data(), 671, record.data(), record.size(), 1, 2));
    EXPECT_FALSE(ShiftImpression(record.data(), record.size(), record.data(), 671, 1, 2));
}

} // namespace
} // namespace vela::engine
