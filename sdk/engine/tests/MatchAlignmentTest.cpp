#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cstdlib>

#include "MatchingTestSupport.h"
#include "engine/matching/AlignBlockMaps.h"
#include "engine/matching/MapCache.h"
#include "engine/matching/MatchTables.h"
#include "engine/matching/PaddedBlockMap.h"
#include "engine/matching/PairMinutiae.h"
#include "engine/matching/ReduceImpression.h"
#include "engine/matching/RotateImpression.h"
#include "engine/records/ShiftImpression.h"

namespace vela::engine {
namespace {

constexpr Rotation kFifteenUp{966, 259, 5, -1};
constexpr Rotation kFifteenDown{966, -259, -5, 1};

Impression Finger(uint32_t seed)
{
    test::SyntheticFinger finger;
    finger.seed = seed;
    return test::MakeSyntheticImpression(finger);
}

uint8_t Block(const BlockMap& map, int row, int column)
{
    return map[row * kBlockColumns + column];
}

// Every block carries its position so that a move reads back.
BlockMap NumberedMap()
{
    BlockMap map;
    for (int row = 0; row < kBlockRows; ++row) {
        for (int column = 0; column < kBlockColumns; ++column)
            map[row * kBlockColumns + column] = static_cast<uint8_t>((row * 7 + column * 3) % 60);
    }
    return map;
}

TEST(RotateBlockMapTest, TurnsAboutTheCentreBlockAndTurnsTheValues)
{
    const BlockMap map = NumberedMap();
    EXPECT_EQ(RotateBlockMap(map, 0), map);

    const BlockMap up = RotateBlockMap(map, 1);
    const BlockMap down = RotateBlockMap(map, -1);
    EXPECT_EQ(Block(up, 12, 9), (Block(map, 12, 9) + 5) % 60);
    EXPECT_EQ(Block(down, 12, 9), (Block(map, 12, 9) + 55) % 60);
    // Five columns right of the centre, a counter-clockwise turn brings the
    // block from below-left: offset (966 x 5, 259 x 5) / 1000 = (4, 1).
    EXPECT_EQ(Block(up, 12, 14), (Block(map, 13, 13) + 5) % 60);
    // Clockwise, the same block comes from above-left.
    EXPECT_EQ(Block(down, 12, 14), (Block(map, 11, 13) + 55) % 60);
    // The corners come from outside the grid.
    EXPECT_EQ(Block(up, 0, 0), kNoDirection);
    EXPECT_EQ(Block(down, 24, 17), kNoDirection);
}

TEST(RotateImpressionTest, QuarterTurnMovesRightToUp)
{
    Impression r;
    r.quality = 80;
    r.blocks.fill(20);
    r.count = 2;
    r.x[0] = 86;  // 10 right of the centre (76, 100)
    r.y[0] = 100;
    r.direction[0] = 0;   // pointing right
    r.x[1] = 76;
    r.y[1] = 190;         // turns off the map: x = 76 + 90
    r.direction[1] = 5;
    const Impression turned = RotateImpression(r, 2);
    ASSERT_EQ(turned.count, 1);
    EXPECT_EQ(turned.x[0], 76);
    EXPECT_EQ(turned.y[0], 90);
    EXPECT_EQ(turned.direction[0], 18);  // now pointing up
    EXPECT_EQ(Block(turned.blocks, 12, 9), 50);  // 60 degrees + 90

    // Half a turn leaves block values as they were.
    EXPECT_EQ(Block(RotateImpression(r, 4).blocks, 12, 9), 20);
    EXPECT_EQ(RotateImpression(r, 4).direction[0], 12);
}

TEST(RotateImpressionTest, TurnThereAndBackKeepsMinutiaeNearby)
{
    const Impression a = Finger(8);
    for (int32_t index : {1, 2, 3}) {
        const Impression back = RotateImpression(RotateImpression(a, index), -index);
        ASSERT_GT(back.count, 10) << index;
        for (int i = 0; i < back.count; ++i) {
            // Find the source minutia it came from: direction back where it was.
            bool found = false;
            for (int j = 0; j < a.count && !found; ++j)
                found = std::abs(a.x[j] - back.x[i]) <= 2 && std::abs(a.y[j] - back.y[i]) <= 2 &&
                        a.direction[j] == back.direction[i];
            EXPECT_TRUE(found) << index << " minutia " << i;
        }
    }
}

class AlignmentTest : public ::testing::Test {
protected:
    MatchContext context;

    Alignment Align(const Impression& first, const Impression& second, AlignMode mode = AlignMode::Forward)
    {
        LookUpMapCache(context.cache, first.blocks);
        return AlignBlockMaps(context, second.blocks, mode);
    }
};

TEST_F(AlignmentTest, FindsTheShiftOfAShiftedCopy)
{
    const Impression a = Finger(1);
    const int shifts[][2] = {{0, 0}, {1, 0}, {0, -1}, {2, -1}, {-1, 2}, {-2, -2}, {3, 1}};
    for (const auto& s : shifts) {
        const Alignment found = Align(a, ShiftImpression(a, s[0], s[1]));
        EXPECT_EQ(found.columnShift, s[0]) << s[0] << "," << s[1];
        EXPECT_EQ(found.rowShift, s[1]) << s[0] << "," << s[1];
        EXPECT_EQ(found.rotation, 0) << s[0] << "," << s[1];
        EXPECT_EQ(found.difference, 0) << s[0] << "," << s[1];
        EXPECT_GT(found.overlap, 150) << s[0] << "," << s[1];
    }
}

TEST_F(AlignmentTest, FindsTheTurnOfATurnedCopy)
{
    const Impression a = Finger(2);
    EXPECT_EQ(Align(a, RotateImpression(a, kFifteenUp)).rotation, 1);
    EXPECT_EQ(Align(a, RotateImpression(a, kFifteenDown)).rotation, -1);
    const Alignment both = Align(a, ShiftImpression(RotateImpression(a, kFifteenUp), 1, 1));
    EXPECT_EQ(both.rotation, 1);
    EXPECT_EQ(both.columnShift, 1);
    EXPECT_EQ(both.rowShift, 1);
}

TEST_F(AlignmentTest, ReverseModeStartsFromTheForwardShiftNegated)
{
    const Impression a = Finger(3);
    const Impression b = ShiftImpression(a, 2, -1);
    const Alignment forward = Align(a, b);
    ASSERT_TRUE(context.forwardSaved);
    EXPECT_EQ(context.forward.columnShift, 2);
    const Alignment reverse = Align(b, a, AlignMode::Reverse);
    EXPECT_EQ(reverse.columnShift, -forward.columnShift);
    EXPECT_EQ(reverse.rowShift, -forward.rowShift);
    EXPECT_EQ(reverse.overlap, forward.overlap);

    // A forward search that finds nothing leaves nothing to start from.
    Impression blank = a;
    blank.blocks.fill(kNoDirection);
    EXPECT_EQ(Align(a, blank).overlap, 0);
    EXPECT_FALSE(context.forwardSaved);
}

TEST_F(AlignmentTest, UnrelatedFlowsDoNotAlign)
{
    const Impression a = Finger(4);
    Impression crossed = a;
    for (uint8_t& value : crossed.blocks) {
        if (value != kNoDirection)
            value = static_cast<uint8_t>((value + 30) % 60);
    }
    EXPECT_EQ(Align(a, crossed).overlap, 0);
}

TEST(EvaluateAlignmentTest, CountsOnlyDirectedOverlappingPairs)
{
    BlockMap first;
    first.fill(kNoDirection);
    BlockMap second = first;
    // A 10 x 10 patch of 10s on the first map; 12s on the second one shifted
    // one column right.
    for (int row = 5; row < 15; ++row) {
        for (int column = 3; column < 13; ++column) {
            first[row * kBlockColumns + column] = 10;
            second[row * kBlockColumns + column + 1] = 12;
        }
    }
    const AlignmentCost aligned = EvaluateAlignmentFull(first, second, 1, 0, 56);
    EXPECT_EQ(aligned.pairs, 100);
    EXPECT_EQ(aligned.difference, 200);
    const AlignmentCost off = EvaluateAlignmentFull(first, second, 0, 0, 56);
    EXPECT_EQ(off.pairs, 90);
    const AlignmentCost tooFew = EvaluateAlignmentFull(first, second, 6, 0, 56);
    EXPECT_EQ(tooFew.pairs, 50);
    EXPECT_EQ(tooFew.difference, 6000);
    // Coarse: even rows and columns of the second map only.
    const AlignmentCost coarse = EvaluateAlignmentCoarse(first, second, 1, 0);
    EXPECT_EQ(coarse.pairs, 25);
    EXPECT_EQ(coarse.difference, 200);
    EXPECT_EQ(EvaluateAlignmentCoarse(first, second, 17, 0).difference, 6000);
    // Shifts far beyond the grid compare nothing and read nothing outside it.
    EXPECT_EQ(EvaluateAlignmentFull(first, second, 40, -30, 1).pairs, 0);
}

// The padded layouts must give, for every shift they cover, the very sums
// the block-by-block evaluation gives: maps of every value including 60 (the
// same as 0) and 61 (undirected), with undirected edges and holes.
TEST(EvaluateAlignmentTest, PaddedLayoutsSumAsTheBlockByBlockEvaluation)
{
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    // Trials 2 and 3 leave only a band of rows of the second map directed,
    // trials 4 and 5 the first map, trial 6 none of the first, trial 7 a
    // single row of each, so that the rows a sum skips are checked too.
    auto band = [](int trial, size_t i, int lowest, int highest) {
        const int row = static_cast<int>(i / kBlockColumns);
        return trial == 6 || row < lowest || row > highest;
    };
    for (int trial = 0; trial < 8; ++trial) {
        BlockMap first;
        BlockMap second;
        for (size_t i = 0; i < first.size(); ++i) {
            first[i] = static_cast<uint8_t>(next() % 62);
            second[i] = static_cast<uint8_t>(next() % 62);
            if (trial % 2 == 1 && (i % kBlockColumns < 3 || i / kBlockColumns > 20))
                first[i] = kNoDirection;
            if ((trial == 2 && band(trial, i, 5, 16)) || (trial == 3 && band(trial, i, 0, 3)) ||
                (trial == 7 && band(trial, i, 11, 11)))
                second[i] = kNoDirection;
            if ((trial == 4 && band(trial, i, 9, 24)) || (trial == 5 && band(trial, i, 2, 12)) ||
                (trial == 6 && band(trial, i, 0, 0)) || (trial == 7 && band(trial, i, 4, 4)))
                first[i] = kNoDirection;
        }
        const PaddedBlockMap padded = PadBlockMap(first);
        const SecondBlockMap laidOut(second);
        for (int rowShift = -kPaddedRowShift - 2; rowShift <= kPaddedRowShift + 2; ++rowShift) {
            for (int columnShift = -kPaddedColumnShift - 2; columnShift <= kPaddedColumnShift + 2; ++columnShift) {
                SCOPED_TRACE(::testing::Message() << trial << ": shift " << columnShift << ", " << rowShift);
                const bool covered = std::abs(rowShift) <= kPaddedRowShift && std::abs(columnShift) <= kPaddedColumnShift;
                for (bool coarse : {false, true}) {
                    uint32_t sum = 0;
                    ASSERT_EQ(PaddedDirectionCost(padded, laidOut, columnShift, rowShift, coarse, sum), covered);
                    if (!covered)
                        continue;
                    const AlignmentCost expected = coarse ? EvaluateAlignmentCoarse(first, second, columnShift, rowShift)
                                                          : EvaluateAlignmentFull(first, second, columnShift, rowShift, 0);
                    const int32_t pairs = static_cast<int32_t>(sum & 0xFFFF);
                    EXPECT_EQ(pairs, expected.pairs);
                    if (pairs > 0) {
                        EXPECT_EQ(100 * static_cast<int32_t>(sum >> 16) / pairs, expected.difference);
                    }
                }
            }
        }
    }
}

// Every way of summing a run the processor has gives the packed sum of the
// byte-by-byte one, for runs of an odd and an even number of steps.
TEST(EvaluateAlignmentTest, RunKernelsSumAlike)
{
    uint32_t state = 777;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    std::array<uint8_t, 16 * 41> first{};
    std::array<uint8_t, 16 * 41> second{};
    for (size_t i = 0; i < first.size(); ++i) {
        // Coded values: directions 0..59, or undirected about one time in four.
        first[i] = next() % 4 == 0 ? kUndirectedCode : static_cast<uint8_t>(next() % 60);
        second[i] = next() % 4 == 0 ? kUndirectedCode : static_cast<uint8_t>(next() % 60);
    }
    for (int32_t steps : {0, 1, 2, 7, 8, 9, 16, 17, 41}) {
        const int32_t length = 16 * steps;
        const uint32_t expected = SumDirectionRun(first.data(), second.data(), length, RunKernel::Portable);
        for (RunKernel kernel : {RunKernel::Narrow, RunKernel::Wide}) {
            if (!RunKernelAvailable(kernel))
                continue;
            EXPECT_EQ(SumDirectionRun(first.data(), second.data(), length, kernel), expected)
                << steps << " steps, kernel " << static_cast<int>(kernel);
        }
    }
    // All directed and opposite: the largest differences every lane can add.
    first.fill(0);
    second.fill(30);
    for (RunKernel kernel : {RunKernel::Portable, RunKernel::Narrow, RunKernel::Wide}) {
        if (RunKernelAvailable(kernel)) {
            EXPECT_EQ(SumDirectionRun(first.data(), second.data(), 16 * 41, kernel), (30u * 656u << 16) + 656u);
        }
    }
}

// The mask of acceptable partner directions holds exactly the directions
// within the tolerance round the circle, for every direction and tolerance,
// and for directions outside 0..23 as the difference itself judges them.
TEST(PairMinutiaeTest, AcceptedDirectionsAreThoseWithinTheTolerance)
{
    for (int32_t tolerance = 0; tolerance <= 13; ++tolerance) {
        for (int32_t direction : {0, 1, 3, 4, 11, 12, 20, 23, 24, 30, -1, 200}) {
            uint32_t expected = 0;
            for (int32_t d = 0; d < kMinutiaDirections; ++d) {
                const int32_t difference = std::abs(direction - d);
                if (std::min(difference, kMinutiaDirections - difference) <= tolerance)
                    expected |= 1u << d;
            }
            EXPECT_EQ(AcceptedDirections(direction, tolerance), expected) << direction << ", " << tolerance;
        }
    }
}

TEST(ReduceImpressionTest, ErodesTheMapAndDropsMinutiaeOnTheEdge)
{
    Impression r;
    r.quality = 80;
    r.blocks.fill(kNoDirection);
    for (int row = 3; row < 20; ++row) {
        for (int column = 1; column < 17; ++column)
            r.blocks[row * kBlockColumns + column] = 9;
    }
    r.count = 3;
    r.x[0] = 40; r.y[0] = 80;    // block (10, 5): inside
    r.x[1] = 12; r.y[1] = 80;    // block (10, 1): on the edge of the print
    r.x[2] = 40; r.y[2] = 26;    // block (3, 5): top row of the print
    const Impression reduced = ReduceImpression(r);
    EXPECT_EQ(Block(reduced.blocks, 10, 5), 9);
    EXPECT_EQ(Block(reduced.blocks, 10, 2), 9);
    EXPECT_EQ(Block(reduced.blocks, 10, 1), kNoDirection);
    EXPECT_EQ(Block(reduced.blocks, 3, 5), kNoDirection);
    EXPECT_EQ(Block(reduced.blocks, 4, 5), 9);
    EXPECT_EQ(Block(reduced.blocks, 19, 5), kNoDirection);
    ASSERT_EQ(reduced.count, 1);
    EXPECT_EQ(reduced.x[0], 40);

    // The two outermost rows and columns go whatever they hold.
    Impression full = r;
    full.blocks.fill(9);
    const BlockMap eroded = ErodeBlockMap(full.blocks);
    EXPECT_EQ(Block(eroded, 1, 8), kNoDirection);
    EXPECT_EQ(Block(eroded, 2, 2), 9);
    EXPECT_EQ(Block(eroded, 22, 15), 9);
    EXPECT_EQ(Block(eroded, 23, 15), kNoDirection);
}

TEST(PairMinutiaeTest, SplitRegionsCutsOnlyWhereBothSidesKeepEnough)
{
    Impression t;
    t.blocks.fill(10);
    // A 6 x 8 lattice of 48 minutiae splits into four regions of 12.
    int n = 0;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 6; ++column, ++n) {
            t.x[n] = static_cast<uint8_t>(20 + 18 * column);
            t.y[n] = static_cast<uint8_t>(20 + 24 * row);
        }
    }
    t.count = static_cast<uint8_t>(n);
    std::array<MatchRegion, kMaxRegions> regions{};
    ASSERT_EQ(SplitRegions(t, kPairing, regions), 4);
    for (const MatchRegion& region : regions)
        EXPECT_EQ(region.count, 12);
    EXPECT_LT(regions[0].centreY, regions[2].centreY);
    EXPECT_LT(regions[0].centreX, regions[1].centreX);

    // Three lattice rows, 18 minutiae: halves of 12 and 6 stay one region.
    t.count = 18;
    ASSERT_EQ(SplitRegions(t, kPairing, regions), 1);
    EXPECT_EQ(regions[0].count, 18);

    // Four rows give halves of 12 at the mean y; their sides of 6 at the
    // mean x are too few to split again.
    t.count = 24;
    ASSERT_EQ(SplitRegions(t, kPairing, regions), 2);
    EXPECT_EQ(regions[0].count, 12);

    t.count = 15;
    ASSERT_EQ(SplitRegions(t, kPairing, regions), 1);
    EXPECT_EQ(regions[0].count, 15);
}

// A region paired by looking at every minutia of the second impression:
// the nearest one within the window on both axes and the direction
// tolerance, the lowest index among equally near ones.
void PairRegionByEveryMinutia(MatchRegion& region, const Impression& second, const PairingParameters& parameters,
                              int iterations)
{
    auto directionDifference = [](int a, int b) {
        const int d = std::abs(a - b);
        return std::min(d, kMinutiaDirections - d);
    };
    int bestScore = 0, bestClose = 0;
    for (int pass = 0; pass < iterations; ++pass) {
        int score = 0, close = 0, matched = 0, sumDx = 0, sumDy = 0;
        for (int k = 0; k < region.count; ++k) {
            int best = -1, bestDistance = 0;
            for (int j = 0; j < second.count; ++j) {
                const int dx = second.x[j] - region.x[k], dy = second.y[j] - region.y[k];
                if (std::abs(dx) >= parameters.window || std::abs(dy) >= parameters.window ||
                    directionDifference(region.direction[k], second.direction[j]) > parameters.directionTolerance)
                    continue;
                const int distance = MatchRoundDistance(std::abs(dx), std::abs(dy));
                if (best < 0 || distance < bestDistance) {
                    best = j;
                    bestDistance = distance;
                }
            }
            // A partner in a corner of the window lies farther than the window's width.
            if (best < 0 || bestDistance >= parameters.window)
                continue;
            ++matched;
            sumDx += second.x[best] - region.x[k];
            sumDy += second.y[best] - region.y[k];
            if (bestDistance < parameters.closeDistance) {
                ++close;
                score += PairDistanceWeight[bestDistance] *
                         PairAngleWeight[directionDifference(region.direction[k], second.direction[best])];
            }
        }
        if (score > bestScore) {
            bestScore = score;
            bestClose = close;
        }
        if (matched == 0 || (std::abs(sumDx) < matched && std::abs(sumDy) < matched))
            break;
        for (int k = 0; k < region.count; ++k) {
            region.x[k] = static_cast<int16_t>(region.x[k] + sumDx / matched);
            region.y[k] = static_cast<int16_t>(region.y[k] + sumDy / matched);
        }
    }
    region.score = bestScore / 10;
    region.paired = bestClose;
}

// The partner search by rows and the one by grid cells find what looking at
// every minutia finds: crowded and sparse impressions, minutiae on the edges
// of the byte range, regions partly off it, narrow and the widest windows.
TEST(PairMinutiaeTest, PairRegionFindsThePartnersALookAtEveryMinutiaFinds)
{
    uint32_t state = 4242;
    auto next = [&state](int below) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % static_cast<uint32_t>(below));
    };
    for (int trial = 0; trial < 60; ++trial) {
        Impression second;
        second.count = static_cast<uint8_t>(trial % 3 == 0 ? kMaxMinutiae : 1 + next(40));
        const int spread = trial % 2 == 0 ? 256 : 60;  // the whole byte range, or crowded
        for (int j = 0; j < second.count; ++j) {
            second.x[j] = static_cast<uint8_t>(trial % 5 == 0 && j < 4 ? (j % 2) * 255 : next(spread));
            second.y[j] = static_cast<uint8_t>(trial % 5 == 0 && j < 4 ? (j / 2) * 255 : next(spread));
            second.direction[j] = static_cast<uint8_t>(next(kMinutiaDirections));
        }
        MatchRegion region;
        region.count = 1 + next(kMaxRegionMinutiae);
        for (int k = 0; k < region.count; ++k) {
            const int j = next(second.count);
            region.x[k] = static_cast<int16_t>(next(3) == 0 ? next(300) - 20 : second.x[j] + next(15) - 7);
            region.y[k] = static_cast<int16_t>(next(3) == 0 ? next(300) - 20 : second.y[j] + next(15) - 7);
            region.direction[k] = static_cast<int16_t>((second.direction[j] + next(9) + 20) % kMinutiaDirections);
        }
        PairingParameters parameters = kPairing;
        parameters.window = std::array{13, 5, 20, 1}[trial % 4];
        parameters.directionTolerance = std::array{4, 0, 2, 5}[trial % 4 == 0 ? 0 : next(4)];
        MatchRegion expected = region;
        PairRegionByEveryMinutia(expected, second, parameters, 3);
        PairRegion(region, second, parameters, 3);
        SCOPED_TRACE(::testing::Message() << "trial " << trial);
        EXPECT_EQ(region.score, expected.score);
        EXPECT_EQ(region.paired, expected.paired);
        EXPECT_EQ(region.x, expected.x);
        EXPECT_EQ(region.y, expected.y);
    }
}

TEST(PairMinutiaeTest, PairRegionRecentresOntoTheSecondImpression)
{
    Impression second = Finger(5);
    MatchRegion region;
    region.count = std::min<int>(second.count, kMaxRegionMinutiae);
    for (int k = 0; k < region.count; ++k) {
        // Moved by (5, -4): each minutia is still its partner's nearest, but
        // only re-centring brings them close.
        region.x[k] = static_cast<int16_t>(second.x[k] + 5);
        region.y[k] = static_cast<int16_t>(second.y[k] - 4);
        region.direction[k] = second.direction[k];
    }
    MatchRegion once = region;
    PairRegion(once, second, kPairing, 1);
    PairRegion(region, second, kPairing, 3);
    EXPECT_EQ(once.paired, 0);
    EXPECT_EQ(region.paired, region.count);
    EXPECT_EQ(region.score, region.count * 150 * 15 / 10);
}

TEST(PairMinutiaeTest, TransformMapsTurnedCopiesBack)
{
    MatchContext context;
    const Impression a = Finger(6);
    const Impression b = ShiftImpression(RotateImpression(a, kFifteenUp), -1, 1);
    Alignment alignment;
    alignment.columnShift = -1;
    alignment.rowShift = 1;
    alignment.rotation = 1;
    const PairingResult result = PairMinutiae(context, a, b, alignment);
    EXPECT_GT(result.commonCount, 25);
    EXPECT_GE(result.closeCount, result.commonCount - 3);

    // The wrong turn pairs little.
    alignment.rotation = -1;
    EXPECT_LT(PairMinutiae(context, a, b, alignment).closeCount, result.closeCount / 2);
}

} // namespace
} // namespace vela::engine
