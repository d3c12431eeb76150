#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <thread>
#include <vector>

#include "MatchingTestSupport.h"
#include "engine/hashing/BuildPairHash.h"
#include "engine/hashing/FineImpression.h"
#include "engine/hashing/HashAlign.h"
#include "engine/hashing/HashCompareEntries.h"
#include "engine/hashing/MapHashScore.h"
#include "engine/hashing/TransformImpression.h"
#include "engine/matching/CompareMinutiaeSets.h"

namespace vela::engine {
namespace {

struct Minutia {
    int x;
    int y;
    int direction;
};

// An impression whose every block is directed, with the given minutiae.
Impression WithMinutiae(const std::vector<Minutia>& minutiae, uint8_t quality = 80)
{
    Impression impression;
    impression.quality = quality;
    impression.fingerCode = 1;
    impression.blocks.fill(10);
    for (size_t i = 0; i < minutiae.size(); ++i) {
        impression.x[i] = static_cast<uint8_t>(minutiae[i].x);
        impression.y[i] = static_cast<uint8_t>(minutiae[i].y);
        impression.direction[i] = static_cast<uint8_t>(minutiae[i].direction);
    }
    impression.count = static_cast<uint8_t>(minutiae.size());
    return impression;
}

Impression Finger(uint32_t seed)
{
    test::SyntheticFinger finger;
    finger.seed = seed;
    return test::MakeSyntheticImpression(finger);
}

// Minutiae far enough from the centre move off the area when turned; these
// keep clear of the edges so that a turned copy keeps most of them.
Impression CentralFinger(uint32_t seed, int count = 30)
{
    Impression finger = Finger(seed);
    Impression central = finger;
    int kept = 0;
    for (int i = 0; i < finger.count && kept < count; ++i) {
        const int dx = finger.x[i] - 72;
        const int dy = finger.y[i] - 100;
        if (dx * dx + dy * dy > 60 * 60)
            continue;
        central.x[kept] = finger.x[i];
        central.y[kept] = finger.y[i];
        central.direction[kept] = finger.direction[i];
        ++kept;
    }
    central.count = static_cast<uint8_t>(kept);
    return central;
}

bool BucketHolds(const PairBucket& bucket, int i, int j)
{
    for (int p = 0; p < bucket.count; ++p) {
        if (bucket.pairs[p][0] == i && bucket.pairs[p][1] == j)
            return true;
    }
    return false;
}

class PairHashTest : public ::testing::Test {
protected:
    MatchContextPtr context = MakeMatchContext();
    PairHashTables& tables = *AttachPairHashTables(*context);
};

TEST_F(PairHashTest, KeepsTheLastTwoImpressionsHashed)
{
    const Impression first = Finger(14);
    const Impression second = Finger(15);
    ASSERT_EQ(BuildPairHash(first, tables), 0);
    const size_t firstSlot = tables.active;
    ASSERT_EQ(BuildPairHash(second, tables), 0);
    EXPECT_NE(tables.active, firstSlot);
    ASSERT_EQ(BuildPairHash(first, tables), 0);
    EXPECT_EQ(tables.active, firstSlot);
    EXPECT_EQ(tables.Active().source, first);
}

TEST_F(PairHashTest, RefusesLowQualityAndFewMinutiaeLeavingTheTablesAlone)
{
    const Impression good = Finger(3);
    ASSERT_EQ(BuildPairHash(good, tables), 0);
    const struct {
        const char* what;
        uint8_t quality;
        uint8_t count;
    } cases[] = {{"quality 9", 9, 40}, {"three minutiae", 80, 3}, {"no minutiae", 80, 0}, {"corrupt count", 80, 71}};
    for (const auto& c : cases) {
        Impression refused = good;
        refused.quality = c.quality;
        refused.count = c.count;
        EXPECT_EQ(BuildPairHash(refused, tables), -1) << c.what;
        EXPECT_EQ(tables.Active().source, good) << c.what;
    }
    Impression lowest = good;
    lowest.quality = 10;
    lowest.count = 4;
    EXPECT_EQ(BuildPairHash(lowest, tables), 0);
}

TEST_F(PairHashTest, PairFeaturesNeedALengthAboveFiveAndBelowOneHundred)
{
    const struct {
        int distance;
        bool feature;
    } cases[] = {{5, false}, {6, true}, {99, true}, {100, false}};
    for (const auto& c : cases) {
        // Direction 0 is fine direction 120, a full turn: the frame is the image's.
        const Impression record =
            WithMinutiae({{20, 20, 0}, {20 + c.distance, 20, 0}, {20, 190, 6}, {130, 190, 12}});
        ASSERT_EQ(BuildPairHash(record, tables), 0);
        const PairFeature feature = tables.Active().features[0][1];
        EXPECT_EQ(feature.angle != kNoPairFeature, c.feature) << c.distance;
        if (c.feature) {
            EXPECT_EQ(feature.dx, c.distance);
            EXPECT_EQ(feature.dy, 0);
            EXPECT_EQ(feature.angle, 0);
        }
        EXPECT_EQ(tables.Active().features[0][0].angle, kNoPairFeature);
    }
}

TEST_F(PairHashTest, FeaturesAreSeenFromTheFirstMinutiasDirection)
{
    // Direction 6 (90 degrees) is fine direction 90: the vector (0, 20)
    // turns by 270 degrees into (20, 0); the second minutia's direction 0
    // (fine 120) differs by 30 fine units, 10 in the table's steps.
    const Impression record = WithMinutiae({{50, 50, 6}, {50, 70, 0}, {10, 190, 6}, {130, 190, 12}});
    ASSERT_EQ(BuildPairHash(record, tables), 0);
    EXPECT_EQ(tables.Active().features[0][1].dx, 20);
    EXPECT_EQ(tables.Active().features[0][1].dy, 0);
    EXPECT_EQ(tables.Active().features[0][1].angle, 10);
    EXPECT_EQ(tables.Active().features[1][0].angle, -10);
}

TEST_F(PairHashTest, CellsSpanFourHalfPixelsWithZeroCoveringMinusThreeToThree)
{
    const struct {
        int dx;
        int cell;
    } cases[] = {{-3, 0}, {3, 0}, {4, 1}, {-4, -1}, {7, 1}, {8, 2}};
    for (const auto& c : cases) {
        const Impression record = WithMinutiae({{70, 40, 0}, {70 + c.dx, 50, 0}, {10, 190, 6}, {130, 190, 12}});
        ASSERT_EQ(BuildPairHash(record, tables), 0);
        std::set<int> holding;
        for (int qx = -kHashCellRange; qx <= kHashCellRange; ++qx) {
            if (BucketHolds(PairBucketAt(tables, qx, 2, 0), 0, 1))
                holding.insert(qx);
        }
        EXPECT_EQ(holding, (std::set<int>{c.cell - 1, c.cell, c.cell + 1})) << c.dx;
    }
}

TEST_F(PairHashTest, ABucketKeepsFivePairsAndAnglesWrapAtTwenty)
{
    // Seven minutiae in a row, 10 apart, all alike: the six neighbour pairs
    // share one feature, and its buckets keep the first five.
    std::vector<Minutia> row;
    for (int i = 0; i < 7; ++i)
        row.push_back({20 + 10 * i, 100, 0});
    ASSERT_EQ(BuildPairHash(WithMinutiae(row), tables), 0);
    const PairBucket& bucket = PairBucketAt(tables, 2, 0, 0);
    ASSERT_EQ(bucket.count, 5);
    for (int p = 0; p < 5; ++p) {
        EXPECT_EQ(bucket.pairs[p][0], p);
        EXPECT_EQ(bucket.pairs[p][1], p + 1);
    }

    // Direction 24 is fine 0, direction 12 fine 60: the pair's angle is 20,
    // entered at 19, 20 and -19 and never at -20.
    const Impression turned = WithMinutiae({{40, 100, 24}, {60, 100, 12}, {10, 190, 6}, {130, 190, 3}});
    ASSERT_EQ(BuildPairHash(turned, tables), 0);
    ASSERT_EQ(tables.Active().features[0][1].angle, 20);
    const int qx = tables.Active().features[0][1].dx / 4;
    const int qy = tables.Active().features[0][1].dy / 4;
    for (int angle : {19, 20, -19})
        EXPECT_TRUE(BucketHolds(PairBucketAt(tables, qx, qy, angle), 0, 1)) << angle;
    for (int angle : {-20, 18, 0})
        EXPECT_FALSE(BucketHolds(PairBucketAt(tables, qx, qy, angle), 0, 1)) << angle;
}

// Every bucket holds what writing each pair, in the order of the pairs,
// into the 27 buckets around its feature would leave there: its first five.
// Crowded impressions fill buckets past five and pairs at angles -20 and 20.
TEST_F(PairHashTest, EveryBucketHoldsTheFirstFivePairsWrittenToIt)
{
    auto wrap = [](int angle) { return angle < -(kHashAngleRange - 1) ? kHashAngleRange
                                       : angle > kHashAngleRange      ? -(kHashAngleRange - 1)
                                                                      : angle; };
    std::vector<Impression> impressions{Finger(21), Finger(22), CentralFinger(23)};
    // Seventy minutiae in a small square at few directions.
    std::vector<Minutia> crowd;
    for (int i = 0; i < kMaxMinutiae; ++i)
        crowd.push_back({60 + (i * 7) % 40, 80 + (i * 13) % 40, (i * 5) % 24});
    impressions.push_back(WithMinutiae(crowd));
    for (size_t n = 0; n < impressions.size(); ++n) {
        ASSERT_EQ(BuildPairHash(impressions[n], tables), 0);
        const PairHashSlot& slot = tables.Active();
        std::vector<PairBucket> written(kHashBuckets);
        for (int i = 0; i < impressions[n].count; ++i) {
            for (int j = 0; j < impressions[n].count; ++j) {
                const PairFeature& feature = slot.features[i][j];
                if (feature.angle == kNoPairFeature)
                    continue;
                const int qx = feature.dx / kHashCellSize, qy = feature.dy / kHashCellSize;
                for (int x = qx - 1; x <= qx + 1; ++x)
                    for (int y = qy - 1; y <= qy + 1; ++y)
                        for (int turn = -1; turn <= 1; ++turn) {
                            const int index = PairBucketIndex(x, y, wrap(feature.angle + turn));
                            if (index < 0 || written[index].count == kBucketPairs)
                                continue;
                            PairBucket& bucket = written[index];
                            bucket.pairs[bucket.count++] = {static_cast<uint8_t>(i), static_cast<uint8_t>(j)};
                        }
            }
        }
        size_t full = 0;
        for (int32_t index = 0; index < kHashBuckets; ++index) {
            const PairBucket read = slot.Bucket(index);
            ASSERT_EQ(read.count, written[index].count) << n << ": bucket " << index;
            for (int p = 0; p < read.count; ++p)
                ASSERT_EQ(read.pairs[p], written[index].pairs[p]) << n << ": bucket " << index;
            full += read.count == kBucketPairs ? 1 : 0;
        }
        if (n + 1 == impressions.size()) {
            EXPECT_GT(full, 100u);
        }
    }
}

TEST_F(PairHashTest, ARebuildLeavesNothingOfThePreviousImpression)
{
    // The third impression goes where the first one was hashed.
    const Impression first = Finger(11);
    const Impression third = Finger(13);
    ASSERT_EQ(BuildPairHash(first, tables), 0);
    const size_t firstSlot = tables.active;
    ASSERT_EQ(BuildPairHash(Finger(12), tables), 0);
    ASSERT_EQ(BuildPairHash(third, tables), 0);
    ASSERT_EQ(tables.active, firstSlot);

    MatchContextPtr freshContext = MakeMatchContext();
    PairHashTables& fresh = *AttachPairHashTables(*freshContext);
    ASSERT_EQ(BuildPairHash(third, fresh), 0);
    for (int32_t index = 0; index < kHashBuckets; ++index) {
        const PairBucket kept = tables.Active().Bucket(index);
        const PairBucket made = fresh.Active().Bucket(index);
        ASSERT_EQ(kept.count, made.count) << index;
        for (int p = 0; p < kept.count; ++p)
            ASSERT_EQ(kept.pairs[p], made.pairs[p]) << index;
    }
}

TEST(FineImpressionTest, DirectionsTurnTheOtherWayInThreeDegreeUnitsAndComeBack)
{
    Impression record = WithMinutiae({{10, 10, 0}, {20, 20, 1}, {30, 30, 23}, {40, 40, 24}});
    const Impression fine = MakeFineImpression(record);
    EXPECT_EQ(fine.direction[0], 120);
    EXPECT_EQ(fine.direction[1], 115);
    EXPECT_EQ(fine.direction[2], 5);
    EXPECT_EQ(fine.direction[3], 0);

    Impression restoring = WithMinutiae({{1, 1, 0}, {1, 1, 1}, {1, 1, 2}, {1, 1, 3}, {1, 1, 5}, {1, 1, 120}});
    RestoreDirections(restoring);
    const std::vector<int> expected{24, 24, 24, 23, 23, 0};
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(restoring.direction[i], expected[i]) << i;
}

TEST(TransformImpressionTest, ShiftsMoveMinutiaeAndBlocksAndDropWhatLeaves)
{
    Impression record = WithMinutiae({{10, 10, 3}, {140, 100, 5}, {72, 195, 7}});
    for (int r = 0; r < kBlockRows; ++r) {
        for (int c = 0; c < kBlockColumns; ++c)
            record.blocks[r * kBlockColumns + c] = static_cast<uint8_t>(c == 0 ? kNoDirection : 2 * c);
    }
    const Impression moved = TransformImpression(record, 0, 8, 8);
    ASSERT_EQ(moved.count, 1);
    EXPECT_EQ(moved.x[0], 18);
    EXPECT_EQ(moved.y[0], 18);
    EXPECT_EQ(moved.direction[0], 3);
    EXPECT_EQ(moved.x[1], 0);
    // Output block (r, c) comes from (r - 1, c - 1).
    EXPECT_EQ(moved.blocks[0], kNoDirection);
    EXPECT_EQ(moved.blocks[1 * kBlockColumns + 1], kNoDirection);
    EXPECT_EQ(moved.blocks[1 * kBlockColumns + 2], 2);
    EXPECT_EQ(moved.blocks[5 * kBlockColumns + 17], 32);
}

TEST(TransformImpressionTest, AQuarterTurnTurnsPositionsDirectionsAndBlocks)
{
    Impression record = WithMinutiae({{92, 100, 2}, {72, 80, 23}});
    const Impression turned = TransformImpression(record, 90, 0, 0);
    ASSERT_EQ(turned.count, 2);
    EXPECT_EQ(turned.x[0], 72);
    EXPECT_EQ(turned.y[0], 120);
    EXPECT_EQ(turned.direction[0], 8);
    EXPECT_EQ(turned.x[1], 92);
    EXPECT_EQ(turned.y[1], 100);
    EXPECT_EQ(turned.direction[1], 5);
    // Every block value 10 turns by -30 steps; blocks that look back off the grid are 61.
    EXPECT_EQ(turned.blocks[12 * kBlockColumns + 9], 40);
    EXPECT_EQ(turned.blocks[0], kNoDirection);

    const Impression fine = TransformImpressionFine(MakeFineImpression(record), 90, 0, 0);
    EXPECT_EQ(fine.direction[0], 80);   // fine 110 turned back by 30
    EXPECT_EQ(fine.direction[1], 95);   // fine 5 wraps to 95
}

TEST(MapHashScoreTest, Table)
{
    const struct {
        int32_t h;
        int32_t score;
    } cases[] = {{0, 0}, {167, 100}, {333, 199}, {334, 200}, {396, 300}, {430, 350}, {485, 400},
                 {539, 449}, {540, 450}, {1000, 450}};
    for (const auto& c : cases)
        EXPECT_EQ(MapHashScore(c.h), c.score) << c.h;
}

TEST(HashCompareEntriesTest, AMiddlingScoreEarnsTheReverseComparison)
{
    const struct {
        int32_t score;
        bool reverse;
    } cases[] = {{0, false}, {80, false}, {81, true}, {749, true}, {750, false}, {2000, false}};
    for (const auto& c : cases)
        EXPECT_EQ(EarnsReverseHashComparison(c.score), c.reverse) << c.score;
}

class HashAlignTest : public ::testing::Test {
protected:
    MatchContextPtr context = MakeMatchContext();
    PairHashTables& tables = *AttachPairHashTables(*context);
};

TEST_F(HashAlignTest, FindsTheShiftOfAShiftedCopy)
{
    const Impression first = CentralFinger(21);
    ASSERT_GE(first.count, 15);
    ASSERT_EQ(BuildPairHash(first, tables), 0);
    const Impression second = TransformImpression(first, 0, 10, -6);
    Impression back;
    const int32_t h = HashAlign(tables, second, back);
    EXPECT_EQ(tables.handedOut.rotation, 0);
    EXPECT_EQ(tables.handedOut.xShift, 10);
    EXPECT_EQ(tables.handedOut.yShift, -6);
    EXPECT_EQ(tables.handedOut.inliers, second.count);
    EXPECT_GE(h, 900);
    // Moved back, the copy lies over the first impression (direction 0
    // comes back as 24, the same turn).
    ASSERT_EQ(back.count, second.count);
    for (int i = 0; i < back.count; ++i) {
        EXPECT_EQ(back.x[i], first.x[i]);
        EXPECT_EQ(back.y[i], first.y[i]);
        EXPECT_EQ(back.direction[i] % 24, first.direction[i]);
    }
}

TEST_F(HashAlignTest, FindsTheTurnOfATurnedCopy)
{
    const Impression first = CentralFinger(22);
    ASSERT_EQ(BuildPairHash(first, tables), 0);
    const Impression second = TransformImpression(first, -45, 0, 0);
    Impression back;
    EXPECT_GE(HashAlign(tables, second, back), 800);
    EXPECT_EQ(tables.handedOut.rotation, 45);
    EXPECT_LE(std::abs(tables.handedOut.xShift), 1);
    EXPECT_LE(std::abs(tables.handedOut.yShift), 1);
}

TEST_F(HashAlignTest, UnrelatedImpressionsDoNotAgree)
{
    ASSERT_EQ(BuildPairHash(Finger(31), tables), 0);
    Impression back;
    EXPECT_LT(HashAlign(tables, Finger(32), back), 300);
}

TEST(HashCompareEntriesTest, ARefusedFirstRecordScoresZero)
{
    MatchContextPtr context = MakeMatchContext();
    const EntryImpressions good = RepeatImpression(Finger(41));
    ASSERT_GT(HashCompareEntries(good, good, *context), 450);
    const struct {
        const char* what;
        uint8_t quality;
        uint8_t count;
    } cases[] = {{"quality 9", 9, 40}, {"three minutiae", 80, 3}, {"no minutiae", 80, 0}};
    for (const auto& c : cases) {
        EntryImpressions first = good;
        first.records[0].quality = c.quality;
        first.records[0].count = c.count;
        EXPECT_EQ(HashCompareEntries(first, good, *context), 0) << c.what;
    }
}

TEST(HashCompareEntriesTest, GenuineCopiesScoreAboveUnrelatedFingers)
{
    MatchContextPtr context = MakeMatchContext();
    for (uint32_t seed : {51u, 52u, 53u}) {
        const Impression finger = Finger(seed);
        const EntryImpressions first = RepeatImpression(finger);
        const EntryImpressions moved = RepeatImpression(
            TransformImpression(test::PerturbImpression(finger, seed + 100, 2, 6, 5), -20, 6, -4));
        const EntryImpressions other = RepeatImpression(Finger(seed + 1000));
        const int32_t genuine = CompareEntriesFast(first, moved, *context);
        const int32_t impostor = CompareEntriesFast(first, other, *context);
        EXPECT_GT(genuine, 449) << seed;
        EXPECT_LT(impostor, 300) << seed;
        EXPECT_LE(genuine, 2000);
    }
}

TEST(HashCompareEntriesTest, TheFirstAlignmentFillsTheEmptyResultSlotOnly)
{
    MatchContextPtr context = MakeMatchContext();
    const Impression finger = CentralFinger(61);
    const EntryImpressions first = RepeatImpression(finger);
    const EntryImpressions shifted = RepeatImpression(TransformImpression(finger, 0, 10, -6));
    std::array<int32_t, 3> values{};

    HashCompareEntries(first, shifted, *context);
    ASSERT_EQ(TakeMatchResult(*context, values), 0);
    EXPECT_EQ(values, (std::array<int32_t, 3>{0, 20, -12}));

    SetMatchResult(*context, {1, 2, 3});
    HashCompareEntries(first, shifted, *context);
    ASSERT_EQ(TakeMatchResult(*context, values), 0);
    EXPECT_EQ(values, (std::array<int32_t, 3>{1, 2, 3}));
}

TEST(HashCompareEntriesTest, ATurnBeyondOneHundredDegreesIsNoAlignment)
{
    MatchContextPtr context = MakeMatchContext();
    PairHashTables& tables = *AttachPairHashTables(*context);
    const Impression finger = CentralFinger(62);
    const EntryImpressions first = RepeatImpression(finger);
    const EntryImpressions turned = RepeatImpression(TransformImpression(finger, -105, 0, 0));

    const int32_t score = HashCompareEntries(first, turned, *context);
    std::array<int32_t, 3> values{};
    ASSERT_EQ(TakeMatchResult(*context, values), 0);
    EXPECT_EQ(values, (std::array<int32_t, 3>{105, 0, 0}));

    // Only the direct comparisons (one 45-degree retry) speak.
    MatchContextPtr direct = MakeMatchContext();
    int32_t expected = 0;
    expected = std::max(expected, CompareMinutiaeSets(first[0], turned[0], 1, *direct) * 95 / 100);
    expected = std::max(expected, CompareMinutiaeSets(first[1], turned[1], 1, *direct));
    if (EarnsReverseHashComparison(expected)) {
        expected = std::max(expected, CompareMinutiaeSets(turned[0], first[0], 1, *direct) * 95 / 100);
        expected = std::max(expected, CompareMinutiaeSets(turned[1], first[1], 1, *direct));
    }
    EXPECT_EQ(score, expected);
    EXPECT_EQ(tables.handedOut.rotation, kNoRotation);
}

TEST(HashCompareEntriesTest, TheHashScoreCountsFromSevenMinutiaeOnAverage)
{
    // Identical entries: the hash agrees completely (450 after mapping) but
    // with six minutiae the minutia pairing alone cannot reach 450.
    const std::vector<Minutia> seven{{30, 40, 0}, {90, 50, 5}, {50, 90, 9}, {100, 110, 14},
                                     {40, 150, 18}, {80, 170, 21}, {110, 80, 3}};
    const std::vector<Minutia> six(seven.begin(), seven.end() - 1);
    MatchContextPtr context = MakeMatchContext();
    const EntryImpressions withSix = RepeatImpression(WithMinutiae(six));
    const EntryImpressions withSeven = RepeatImpression(WithMinutiae(seven));
    EXPECT_LT(HashCompareEntries(withSix, withSix, *context), 450);
    EXPECT_GE(HashCompareEntries(withSeven, withSeven, *context), 450);
}

TEST(HashCompareEntriesTest, TwoContextsInTwoThreadsGiveTheSameScores)
{
    const EntryImpressions a = RepeatImpression(Finger(71));
    const EntryImpressions b = RepeatImpression(test::PerturbImpression(Finger(71), 5, 2, 6, 5));
    MatchContextPtr reference = MakeMatchContext();
    const int32_t expected = CompareEntriesFast(a, b, *reference);
    std::vector<int32_t> scores(4, -1);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < scores.size(); ++t) {
        threads.emplace_back([&, t] {
            MatchContextPtr own = MakeMatchContext();
            for (int round = 0; round < 3; ++round)
                scores[t] = CompareEntriesFast(a, b, *own);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int32_t score : scores)
        EXPECT_EQ(score, expected);
}

} // namespace
} // namespace vela::engine
