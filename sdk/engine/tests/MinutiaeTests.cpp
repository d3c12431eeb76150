#include <gtest/gtest.h>

#include <cstring>

#include "ExtractionTestSupport.h"
#include "engine/minutiae/Candidates.h"
#include "engine/minutiae/FinishImpression.h"
#include "engine/minutiae/MinutiaFilters.h"
#include "engine/minutiae/NeighbourCodes.h"
#include "engine/minutiae/Spurs.h"
#include "engine/minutiae/Thinning.h"
#include "engine/minutiae/TraceRidges.h"

namespace vela::engine {
namespace {

using namespace extraction_test;

void Line(WorkImage& image, int column, int row, int dx, int dy, int length)
{
    for (int k = 0; k < length; ++k)
        Pixel(image, column + k * dx, row + k * dy) = 255;
}

// The thinning and spur steps of the extraction, in their order.
struct SkeletonSteps {
    std::vector<uint8_t> before = std::vector<uint8_t>(kWorkImageBytes);
    std::vector<int32_t> entries = std::vector<int32_t>(extraction_work::kEntryCount);
    OffsetList endings{entries.data(), 4000};
    OffsetList branchings{entries.data() + 4000, 2000};
    WalkRecord walks{entries.data() + 6000, 30505, entries.data() + 36505};

    void Run(WorkImage& image)
    {
        ThinRidges(image.data(), before.data());
        FindMinutiaCandidates(image.data(), endings, branchings);
        RemoveShortSpurs(image.data(), before.data(), endings, branchings, walks);
    }
};

// A record whose every block has a direction, for running the minutiae steps on drawn skeletons.
std::vector<uint8_t> DirectedRecord(uint8_t quality)
{
    std::vector<uint8_t> record(impression::kSize, 0);
    std::memset(record.data() + impression::kBlocksOffset, 0, kBlockCount);
    record[impression::kQualityOffset] = quality;
    record[impression::kBlockRowsOffset] = 25;
    return record;
}

TEST(Thinning, ThickBarBecomesAOnePixelLine)
{
    WorkImage image = BlankWorkImage();
    for (int row = 196; row < 203; ++row)
        Line(image, 60, row, 1, 0, 160);
    std::vector<uint8_t> before(kWorkImageBytes);
    ThinRidges(image.data(), before.data());
    int set = 0, thick = 0;
    for (int row = 150; row < 250; ++row) {
        for (int column = 40; column < 240; ++column) {
            set += PixelAt(image, column, row) != 0;
            thick += PixelAt(image, column, row) && PixelAt(image, column + 1, row) && PixelAt(image, column, row + 1) &&
                     PixelAt(image, column + 1, row + 1);
        }
    }
    EXPECT_EQ(thick, 0);
    EXPECT_GT(set, 140);
    EXPECT_LT(set, 180);
}

TEST(Thinning, DeletionsWithinAPassCountForLaterPixels)
{
    // A 2-pixel wide bar: the upper row goes first, and the lower row, seeing
    // its upper neighbours already gone, stays.
    WorkImage image = BlankWorkImage();
    Line(image, 100, 200, 1, 0, 30);
    Line(image, 100, 201, 1, 0, 30);
    std::vector<uint8_t> before(kWorkImageBytes);
    ThinPass(image.data(), before.data());
    int upper = 0, lower = 0;
    for (int column = 100; column < 130; ++column) {
        upper += PixelAt(image, column, 200) != 0;
        lower += PixelAt(image, column, 201) != 0;
    }
    EXPECT_LT(upper, 3);
    EXPECT_GT(lower, 26);
}

TEST(Spurs, IsolatedLinesOfSixGoAndOfSevenStayTrimmedByTheirEnds)
{
    for (int length : {6, 7}) {
        WorkImage image = BlankWorkImage();
        Line(image, 100, 200, 1, 0, length);
        SkeletonSteps steps;
        steps.Run(image);
        EXPECT_EQ(CountSet(image), length == 6 ? 0 : 5) << length;
    }
}

TEST(Spurs, SpursOfSixPixelsGoAndOfSevenStay)
{
    // A long ridge with a spur standing on it; thinning turns the T into a Y
    // whose fork pixel is the branching point, and the spur's length counts
    // the pixels beyond it.
    for (int length : {6, 7}) {
        SCOPED_TRACE(length);
        WorkImage image = BlankWorkImage();
        Line(image, 40, 200, 1, 0, 200);
        Line(image, 140, 199, 0, -1, length + 1);
        SkeletonSteps steps;
        steps.Run(image);
        int spur = 0;
        for (int row = 150; row < 200; ++row)
            spur += PixelAt(image, 140, row) != 0;
        // The fork pixel stays either way; a kept spur loses its tip to the trim.
        EXPECT_EQ(spur, length == 6 ? 1 : length);
        int ridgeGaps = 0;
        for (int column = 60; column < 220; ++column)
            ridgeGaps += (column < 139 || column > 141) && PixelAt(image, column, 200) == 0;
        EXPECT_EQ(ridgeGaps, 0);
    }
}

TEST(TraceRidges, PairMeanAveragesTheTwoClosestDirections)
{
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {0, 2, 12, 1},   {12, 0, 2, 1},  {0, 12, 2, 1}, // whichever pair is closest
        {23, 1, 12, 0},  {22, 0, 12, 23},               // across the wrap
        {24, 0, 12, 0},                                 // 24 is a full turn
        {0, 6, 12, 3},                                  // ties favour (a, b)
        {6, 0, 12, 3},   {0, 12, 6, 9},                 // then (b, c)
    };
    for (const Case& c : cases)
        EXPECT_EQ(PairMean(c.a, c.b, c.c), c.expected) << c.a << " " << c.b << " " << c.c;
}

TEST(TraceRidges, FarEnoughNeedsBothPointsInsideAndApart)
{
    struct Case {
        PixelPosition p, q;
        bool expected;
    };
    const Case cases[] = {
        {{100, 100}, {103, 103}, true},  {{100, 100}, {103, 102}, false},
        {{16, 100}, {22, 100}, true},    {{15, 100}, {22, 100}, false},
        {{272, 100}, {266, 100}, true},  {{273, 100}, {266, 100}, false},
        {{100, 384}, {100, 378}, true},  {{100, 385}, {100, 378}, false},
        {{100, 100}, {100, 15}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FarEnough(c.p, c.q), c.expected) << c.p.column << "," << c.p.row << " " << c.q.column << "," << c.q.row;
}

TEST(TraceRidges, FollowRidgeRestoresAllButItsStart)
{
    WorkImage image = BlankWorkImage();
    Line(image, 100, 200, 1, 0, 12);
    const int start = kWorkImageFirstPixel + 200 * kWorkImageStride + 100;
    const auto end = FollowRidge(image.data(), start);
    ASSERT_TRUE(end);
    EXPECT_EQ(PositionOf(*end).column, 108);
    EXPECT_EQ(PixelAt(image, 100, 200), 0);
    EXPECT_EQ(CountSet(image), 11);

    WorkImage shortLine = BlankWorkImage();
    Line(shortLine, 100, 200, 1, 0, 5);
    EXPECT_FALSE(FollowRidge(shortLine.data(), start));
    EXPECT_EQ(CountSet(shortLine), 4);
}

TEST(FindMinutiae, BranchingNearTheEdgeGivesNoMinutia)
{
    // The same Y drawn well inside and 12 pixels from the left edge.
    for (int column : {140, 12}) {
        WorkImage image = BlankWorkImage();
        Line(image, column, 200, 0, -1, 40);          // stem going up
        Line(image, column + 1, 201, 1, 1, 30);       // two branches going down
        Line(image, column - 1, 201, -1, 1, std::min(30, column));
        std::vector<uint8_t> before(kWorkImageBytes), entries(4 * extraction_work::kEntryCount);
        std::vector<int32_t> lists(6000);
        OffsetList endings{lists.data(), 4000}, branchings{lists.data() + 4000, 2000};
        MinutiaList minutiae;
        TraceRidges(image.data(), endings, branchings, minutiae);
        int atFork = 0;
        for (int i = 0; i < minutiae.count; ++i)
            atFork += minutiae.x[i] == column && minutiae.y[i] == 200;
        EXPECT_EQ(atFork, column == 140 ? 1 : 0) << column;
    }
}

TEST(FindMinutiae, BranchDirectionIsTheMeanOfTheTwoClosestBranches)
{
    WorkImage image = BlankWorkImage();
    Line(image, 140, 200, 0, -1, 40);    // up: direction 18
    Line(image, 141, 201, 1, 1, 30);     // down right: 3
    Line(image, 139, 201, -1, 1, 30);    // down left: 9
    std::vector<int32_t> lists(6000);
    OffsetList endings{lists.data(), 4000}, branchings{lists.data() + 4000, 2000};
    MinutiaList minutiae;
    TraceRidges(image.data(), endings, branchings, minutiae);
    ASSERT_GE(minutiae.count, 1);
    EXPECT_EQ(minutiae.x[0], 140);
    EXPECT_EQ(minutiae.y[0], 200);
    EXPECT_EQ(minutiae.direction[0], 6); // between 3 and 9: down
}

TEST(FindMinutiae, FacingEndingsAcrossAGapAreRemoved)
{
    WorkImage image = BlankWorkImage();
    Line(image, 60, 200, 1, 0, 71);   // ends at column 130
    Line(image, 136, 200, 1, 0, 85);  // starts at column 136
    std::vector<uint8_t> record = DirectedRecord(80), work(extraction_work::kSize);
    ASSERT_TRUE(FindMinutiae(image, record, work));
    // Only the two far ends remain (each trimmed by one pixel), pointing into their ridges.
    ASSERT_EQ(record[impression::kCountOffset], 2);
    EXPECT_EQ(record[impression::kMinutiaXOffset + 0], 61 / 2);
    EXPECT_EQ(record[impression::kMinutiaDirectionOffset + 0], 0);
    EXPECT_EQ(record[impression::kMinutiaXOffset + 1], 219 / 2);
    EXPECT_EQ(record[impression::kMinutiaDirectionOffset + 1], 12);
}

TEST(MinutiaFilters, PairCostOfFacingAndOfOtherPairs)
{
    MinutiaList m;
    m.Add(100, 100, 12); // pointing left, into its ridge
    m.Add(106, 100, 0);  // pointing right
    m.Add(106, 100, 12); // same way as the first
    m.Add(113, 100, 12); // turned the same way as its neighbours
    EXPECT_EQ(PairCost(m, 0, 1), 6 - 12 - 12 + 24);
    EXPECT_EQ(PairCost(m, 0, 2), 1000);
    EXPECT_EQ(PairCost(m, 0, 3), 1000);
    EXPECT_EQ(NearestPartner(m, 0), 1);
    EXPECT_EQ(NearestPartner(m, 1), 0);
    RemoveFacingPairs(m);
    ASSERT_EQ(m.count, 2);
    EXPECT_EQ(m.x[0], 106);
    EXPECT_EQ(m.x[1], 113);
}

TEST(MinutiaFilters, CrowdedMinutiaeGoTogether)
{
    MinutiaList m;
    m.Add(100, 100, 0);
    m.Add(105, 100, 0);  // 5 apart, same direction, far from the edge: radius 6
    m.Add(150, 100, 0);
    m.Add(157, 100, 0);  // 7 apart: kept
    m.Add(150, 150, 0);
    m.Add(157, 150, 12); // 7 apart, turned: radius 8
    RemoveCrowdedMinutiae(m);
    ASSERT_EQ(m.count, 2);
    EXPECT_EQ(m.x[0], 150);
    EXPECT_EQ(m.x[1], 157);
    EXPECT_EQ(m.y[1], 100);
}

TEST(MinutiaFilters, LimitKeepsAtMost70NearestTheCentre)
{
    // Rings around the centre (144, 200) in square distance r.
    auto ring = [](MinutiaList& m, int r, int count) {
        for (int k = 0; k < count; ++k)
            m.Add(144 - r + (2 * r * k) / std::max(1, count - 1), 200 - r, 0);
    };
    struct Case {
        std::vector<std::pair<int, int>> rings; // (r, count) in list order
        int expectedCount;
        int farthestKept;
    };
    const Case cases[] = {
        {{{60, 10}, {20, 50}, {30, 20}}, 70, 30},           // the far ring goes
        {{{20, 50}, {30, 10}, {32, 15}, {60, 5}}, 70, 32},  // r0 = 32: 75 kept, the first 70 written
        {{{20, 50}, {30, 20}, {31, 10}}, 70, 30},           // r0 = 30 keeps 31 too, but list order cuts it
        {{{20, 40}, {30, 30}}, 70, 30},
        {{{20, 30}}, 30, 20},
    };
    for (const Case& c : cases) {
        MinutiaList m;
        for (auto [r, count] : c.rings)
            ring(m, r, count);
        std::vector<uint8_t> record = DirectedRecord(80);
        LimitMinutiae(m, record.data());
        ASSERT_EQ(record[impression::kCountOffset], c.expectedCount);
        int farthest = 0;
        for (int i = 0; i < c.expectedCount; ++i)
            farthest = std::max(farthest, std::abs(record[impression::kMinutiaYOffset + i] * 2 - 200));
        EXPECT_EQ(farthest, c.farthestKept);
    }
}

TEST(MinutiaFilters, LimitDropsMinutiaeNearBackground)
{
    MinutiaList m;
    m.Add(100, 100, 23);
    m.Add(9, 100, 0);    // 10 pixels left leaves the grid
    m.Add(150, 150, 0);  // 10 pixels below reaches an undirected block
    std::vector<uint8_t> record = DirectedRecord(80);
    record[impression::kBlocksOffset + (160 / 16) * kBlockColumns + 150 / 16] = kNoDirection;
    LimitMinutiae(m, record.data());
    ASSERT_EQ(record[impression::kCountOffset], 1);
    EXPECT_EQ(record[impression::kMinutiaXOffset], 50);
    EXPECT_EQ(record[impression::kMinutiaDirectionOffset], 23);
}

TEST(FinishImpressionRecord, QualityFromMinutiaeAndBlockHoles)
{
    struct Case {
        int minutiae;
        bool crowded;
        std::vector<std::pair<int, int>> undirected; // (row, column)
        int expected;
    };
    const Case cases[] = {
        {3, false, {}, 0},
        {4, false, {}, 100},
        {8, true, {}, 0},
        {8, false, {{10, 9}}, 99},                   // 100 x 449 / 452, and 107 x 100 / 108
        {8, false, {{10, 0}, {10, 1}, {0, 5}}, 100}, // runs from the edge are not holes
        {8, false, {{3, 3}, {3, 4}, {4, 3}, {4, 4}}, 97},  // holes outside the window: 100 x 446 / 458
        {8, false, {{6, 4}, {6, 5}, {7, 4}, {7, 5}, {8, 4}, {8, 5}, {9, 4}, {9, 5}, {10, 4}, {10, 5}, {11, 4}, {11, 5}}, 88},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> record = DirectedRecord(100);
        for (auto [r, col] : c.undirected)
            record[impression::kBlocksOffset + r * kBlockColumns + col] = kNoDirection;
        for (int i = 0; i < c.minutiae; ++i) {
            record[impression::kMinutiaXOffset + i] = static_cast<uint8_t>(c.crowded ? 70 + i % 3 : 20 + 12 * i);
            record[impression::kMinutiaYOffset + i] = static_cast<uint8_t>(c.crowded ? 100 + i / 3 : 100);
        }
        record[impression::kCountOffset] = static_cast<uint8_t>(c.minutiae);
        FinishImpressionRecord(record.data());
        EXPECT_EQ(record[impression::kQualityOffset], c.expected) << c.minutiae << " " << c.undirected.size();
    }
}

TEST(FindMinutiae, LowBlockQualityGivesNoMinutiaeAndKeepsTheQuality)
{
    WorkImage image = BlankWorkImage();
    Line(image, 60, 200, 1, 0, 100);
    std::vector<uint8_t> record = DirectedRecord(14), work(extraction_work::kSize);
    record[impression::kCountOffset] = 9;
    ASSERT_TRUE(FindMinutiae(image, record, work));
    EXPECT_EQ(record[impression::kCountOffset], 0);
    EXPECT_EQ(record[impression::kQualityOffset], 14);
}

TEST(FindMinutiae, ARidgeSplitIsFoundWhereThePhaseWinds)
{
    // cos(2 pi y / T + atan2(y - y0, x - x0)): one ridge more on one side of
    // (x0, y0) than on the other, so exactly one ridge splits there. The
    // ridges run across the rows: the thinning passes scan downward, and a
    // ridge of even width cut flat at the top edge would be eaten from there.
    struct Case {
        double x0, y0, period;
    };
    const Case cases[] = {{144, 200, 9}, {120, 180, 8}, {170, 230, 10}, {150, 150, 9}, {100, 260, 11}, {144, 200, 7}, {130, 190, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x0 << "," << c.y0 << " T " << c.period);
        WorkImage image = BinaryWorkImage([&](double x, double y) {
            return std::cos(2 * std::numbers::pi * y / c.period + std::atan2(y - c.y0, x - c.x0));
        });
        ExtractionRun run;
        run.All(image);
        ASSERT_EQ(run.Count(), 1);
        EXPECT_NEAR(run.X(0) * 2, c.x0, 6);
        EXPECT_NEAR(run.Y(0) * 2, c.y0, 6);
    }
}

} // namespace
} // namespace vela::engine
