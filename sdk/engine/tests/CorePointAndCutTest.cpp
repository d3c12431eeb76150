#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "engine/input/CutWorkArea.h"
#include "engine/input/FindCorePoint.h"
#include "engine/input/GreyCanvas.h"
#include "engine/input/PackCleanedImage.h"
#include "engine/records/EngineGeometry.h"

namespace vela::engine {
namespace {

using Map = std::vector<uint8_t>;

uint8_t& At(Map& map, int row, int column)
{
    return map[row * kBlockMapSide + column];
}

// Ridge orientations around a singular point between blocks (row0 - 1, column0 - 1)
// and (row0, column0): half the polar angle, turned by `turn` degrees. With
// sign +1 and turn 45 the ridges arch over the point (a loop's core); with
// sign -1 the point is a delta.
Map SingularField(int rows, int columns, int row0, int column0, int sign, int turn)
{
    Map map(kBlockMapBytes, kNoOrientation);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const double angle = std::atan2(row - row0 + 0.5, column - column0 + 0.5) * 180.0 / M_PI;
            const double orientation = std::fmod(sign * 0.5 * angle + turn + 360.0, 180.0);
            At(map, row, column) = static_cast<uint8_t>(std::lround(orientation) % 180);
        }
    }
    return map;
}

TEST(FindCorePoint, LoopCoreIsTheMeanOfNeighbouringCandidates)
{
    Map map = SingularField(25, 18, 10, 8, +1, 45);
    // The four blocks around the singular point index -180 and have the arch above.
    for (int row = 9; row <= 10; ++row) {
        for (int column = 7; column <= 8; ++column)
            EXPECT_EQ(BlockPoincareIndex(map.data(), 18, 25, row, column), -180);
    }
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_EQ(FindCorePoint(map.data(), map.size(), 18, 25, x, y), 1);
    // Mean row 9.5 and column 7.5 round half away to 10 and 8.
    EXPECT_EQ(x, 9 * 16);
    EXPECT_EQ(y, 11 * 16);
}

TEST(FindCorePoint, NoCoreWithoutALoop)
{
    int32_t x = -1;
    int32_t y = -1;
    const Map delta = SingularField(25, 18, 10, 8, -1, 45);
    EXPECT_EQ(BlockPoincareIndex(delta.data(), 18, 25, 10, 8), 180);
    EXPECT_EQ(FindCorePoint(delta.data(), delta.size(), 18, 25, x, y), 0);

    // Every block has a direction, but no closed path sums to -180.
    Map smooth(kBlockMapBytes, kNoOrientation);
    for (int row = 0; row < 25; ++row) {
        for (int column = 0; column < 18; ++column)
            At(smooth, row, column) = static_cast<uint8_t>((row * 5 + column * 3) % 180);
    }
    EXPECT_EQ(FindCorePoint(smooth.data(), smooth.size(), 18, 25, x, y), 0);

    // A loop without the arching ridges above it is not taken either.
    const Map unarched = SingularField(25, 18, 10, 8, +1, 0);
    EXPECT_EQ(BlockPoincareIndex(unarched.data(), 18, 25, 10, 8), -180);
    EXPECT_EQ(FindCorePoint(unarched.data(), unarched.size(), 18, 25, x, y), 0);
    EXPECT_EQ(x, -1);

    EXPECT_EQ(FindCorePoint(smooth.data(), kBlockMapBytes - 1, 18, 25, x, y), 0);
}

TEST(FindCorePoint, SkipsBlocksNextToMissingOrientations)
{
    Map map = SingularField(25, 18, 10, 8, +1, 45);
    At(map, 11, 9) = kNoOrientation;  // a neighbour of (10, 8) only among the four
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_EQ(FindCorePoint(map.data(), map.size(), 18, 25, x, y), 1);
    // (9, 7), (9, 8) and (10, 7) remain: mean row 9.33 and column 7.33.
    EXPECT_EQ(x, 8 * 16);
    EXPECT_EQ(y, 10 * 16);
}

// A loop drawn by hand: orientations rising by about 22.5 degrees a step
// around block (10, 3), 90 everywhere else, so only a block found two rows up
// can confirm it.
Map HandDrawnLoop(int column)
{
    Map map(kBlockMapBytes, kNoOrientation);
    for (int row = 0; row < 25; ++row) {
        for (int c = 0; c < 18; ++c)
            At(map, row, c) = 90;
    }
    const int ring[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}};
    const int values[8] = {0, 23, 45, 68, 90, 113, 135, 158};
    for (int i = 0; i < 8; ++i)
        At(map, 10 + ring[i][0], column + ring[i][1]) = static_cast<uint8_t>(values[i]);
    return map;
}

TEST(FindCorePoint, BlocksOffTheMapHaveNoOrientation)
{
    // Core candidate at column 3 (the first column scanned): the arch test
    // looks at row 8, columns 0..6, and their left and right neighbours.
    // Block (8, 0) has a flat right neighbour; its left neighbour would be
    // column -1, which in the byte array is the last byte of row 7. That
    // byte, outside the used extent, must not count.
    Map map = HandDrawnLoop(3);
    ASSERT_EQ(BlockPoincareIndex(map.data(), 18, 25, 10, 3), -180);
    At(map, 8, 1) = 30;
    At(map, 7, kBlockMapSide - 1) = 130;
    int32_t x = 0;
    int32_t y = 0;
    EXPECT_EQ(FindCorePoint(map.data(), map.size(), 18, 25, x, y), 0);

    // The same arch inside the map confirms the core.
    Map inside = HandDrawnLoop(4);
    At(inside, 8, 0) = 130;
    At(inside, 8, 2) = 30;
    ASSERT_EQ(FindCorePoint(inside.data(), inside.size(), 18, 25, x, y), 1);
    EXPECT_EQ(x, 5 * 16);
    EXPECT_EQ(y, 11 * 16);
}

struct Cut {
    std::vector<uint8_t> output = std::vector<uint8_t>(kCanvasBytes, 0xEE);
    ContentRect bounds{10, 20, 500, 600};
    CutCounts counts;
    ResultCode code = 0;
};

// Distinct non-zero greys, except for row 300, which is black.
uint8_t CanvasValue(int row, int column)
{
    return static_cast<uint8_t>(row == 300 ? 0 : (row * 7 + column) % 251 + 1);
}

Cut CutAround(int32_t px, int32_t py, const std::vector<uint8_t>& mask, int32_t width = 640, int32_t height = 640)
{
    std::vector<uint8_t> canvas(kCanvasBytes);
    for (int row = 0; row < kCanvasSide; ++row) {
        for (int column = 0; column < kCanvasSide; ++column)
            canvas[row * kCanvasSide + column] = CanvasValue(row, column);
    }
    Cut cut;
    cut.code = CutWorkArea(canvas.data(), canvas.size(), cut.output.data(), cut.output.size(), px, py, mask.data(),
                           mask.size(), width, height, cut.bounds, cut.counts);
    return cut;
}

TEST(CutWorkArea, TakesForegroundPixelsAroundTheReferencePoint)
{
    std::vector<uint8_t> mask(kBlockMapBytes, 1);
    mask[5 * kBlockMapSide + 4] = 0;  // canvas rows 80..95, columns 64..79
    // px - 144 = 37 -> 2.31 blocks -> dx 32; py - 200 = 41 -> 2.56 -> 3 blocks (48 rows).
    const Cut cut = CutAround(181, 241, mask);
    ASSERT_EQ(cut.code, result::Success);
    int expectedZero = 0;
    for (int i = 0; i < kWorkHeight; ++i) {
        for (int j = 0; j < kWorkWidth; ++j) {
            const int row = 48 + i;
            const int column = 32 + j;
            const bool masked = row >= 80 && row < 96 && column >= 64 && column < 80;
            const uint8_t expected = masked ? 0 : CanvasValue(row, column);
            expectedZero += !masked && expected == 0 ? 1 : 0;
            ASSERT_EQ(cut.output[i * kCanvasSide + j], expected) << i << "," << j;
        }
    }
    EXPECT_EQ(cut.output[kWorkWidth], 0xEE);  // beyond the area the stride is left alone
    EXPECT_EQ(cut.counts.copied, kWorkPixels - 256);
    EXPECT_EQ(cut.counts.zero, expectedZero);
    EXPECT_GT(expectedZero, 0);
    EXPECT_EQ(cut.counts.nonZero, cut.counts.copied - expectedZero);
    EXPECT_EQ(cut.bounds, (ContentRect{10 - 32, 20 - 48, 500 - 32, 600 - 48}));
}

TEST(CutWorkArea, HalfBlocksRoundAwayFromTheCentre)
{
    const std::vector<uint8_t> mask(kBlockMapBytes, 1);
    struct Case {
        int32_t px, py, dx, dy;
    };
    const Case cases[] = {
        {144 + 8, 200 + 8, 16, 16},     // half a block each way: one block
        {144 - 8, 200 - 8, -16, -16},
        {144 + 7, 200 - 7, 0, 0},
    };
    for (const Case& c : cases) {
        const Cut cut = CutAround(c.px, c.py, mask);
        EXPECT_EQ(cut.bounds.left, 10 - c.dx) << c.px;
        EXPECT_EQ(cut.bounds.top, 20 - c.dy) << c.py;
    }
}

TEST(CutWorkArea, PixelsOutsideTheContentAreZero)
{
    const std::vector<uint8_t> mask(kBlockMapBytes, 1);
    // dx = -16: the first 16 columns lie left of the canvas; content 200 x 300.
    const Cut cut = CutAround(144 - 16, 200, mask, 200, 300);
    ASSERT_EQ(cut.code, result::Success);
    EXPECT_EQ(cut.output[0], 0);
    EXPECT_EQ(cut.output[15], 0);
    EXPECT_EQ(cut.output[16], CanvasValue(0, 0));
    EXPECT_EQ(cut.output[16 + 199], CanvasValue(0, 199));
    EXPECT_EQ(cut.output[16 + 200], 0);
    EXPECT_EQ(cut.output[299 * kCanvasSide + 16], CanvasValue(299, 0));
    EXPECT_EQ(cut.output[300 * kCanvasSide + 16], 0);
    EXPECT_EQ(cut.counts.copied, 200 * 300);

    const std::vector<uint8_t> shortMask(kBlockMapBytes - 1, 1);
    EXPECT_EQ(CutAround(144, 200, shortMask).code, result::WorkBufferUnavailable);
}

TEST(PackCleanedImage, ClearsTheEdgesThenPacksMostSignificantBitFirst)
{
    std::vector<uint8_t> area(kCanvasBytes, 255);
    area[200 * kCanvasSide + 100] = 254;  // only 255 sets a bit
    std::vector<uint8_t> packed(kCleanedImageBytes, 0xEE);
    ASSERT_EQ(PackCleanedImage(area.data(), area.size(), packed.data(), packed.size(), ContentRect{0, 0, 287, 399}),
              result::Success);
    auto byteAt = [&](int row, int index) { return packed[row * kCleanedRowBytes + index]; };
    for (int row : {0, 4, 395, 399}) {
        for (int index = 0; index < kCleanedRowBytes; ++index)
            EXPECT_EQ(byteAt(row, index), 0) << row;
    }
    EXPECT_EQ(byteAt(5, 0), 0x07);    // columns 0..4 cleared
    EXPECT_EQ(byteAt(5, 1), 0xFF);
    EXPECT_EQ(byteAt(5, 35), 0xE0);   // columns 283..287 cleared
    EXPECT_EQ(byteAt(394, 17), 0xFF);
    EXPECT_EQ(byteAt(200, 12), 0xF7); // column 100 is bit 3 of byte 12
    EXPECT_EQ(area[2 * kCanvasSide + 50], 0);  // the edges are cleared in the area itself
}

TEST(PackCleanedImage, EdgesFollowTheBoundingRectangle)
{
    std::vector<uint8_t> area(kCanvasBytes, 255);
    std::vector<uint8_t> packed(kCleanedImageBytes);
    ASSERT_EQ(PackCleanedImage(area.data(), area.size(), packed.data(), packed.size(), ContentRect{20, 30, 100, 200}),
              result::Success);
    auto bit = [&](int row, int column) { return (packed[row * kCleanedRowBytes + column / 8] >> (7 - column % 8)) & 1; };
    EXPECT_EQ(bit(34, 50), 0);
    EXPECT_EQ(bit(35, 50), 1);
    EXPECT_EQ(bit(195, 50), 1);
    EXPECT_EQ(bit(196, 50), 0);
    EXPECT_EQ(bit(100, 24), 0);
    EXPECT_EQ(bit(100, 25), 1);
    EXPECT_EQ(bit(100, 95), 1);
    EXPECT_EQ(bit(100, 96), 0);

    // A rectangle far outside the area clears everything; one far around it nothing.
    ASSERT_EQ(PackCleanedImage(area.data(), area.size(), packed.data(), packed.size(),
                               ContentRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}),
              result::Success);
    EXPECT_EQ(bit(100, 50), 1);
    EXPECT_EQ(PackCleanedImage(area.data(), area.size(), packed.data(), packed.size() - 1, ContentRect{}),
              result::WorkBufferUnavailable);
}

} // namespace
} // namespace vela::engine
