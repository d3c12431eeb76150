#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "EngineTestSupport.h"
#include "MatchingTestSupport.h"
#include "engine/matching/CompareMinutiaeSets.h"
#include "engine/matching/MapCache.h"
#include "engine/matching/MatchTables.h"
#include "engine/matching/RotateImpression.h"
#include "engine/matching/ScoreMatch.h"
#include "engine/records/ShiftImpression.h"

namespace vela::engine {
namespace {

using test::MakeSyntheticImpression;
using test::PerturbImpression;
using test::SyntheticFinger;

// Scores above this count as agreeing for the best-impression selection.
constexpr int32_t kAgreeing = 449;

Impression Finger(uint32_t seed, double coreColumn = 9.0, double coreRow = 10.0)
{
    SyntheticFinger finger;
    finger.seed = seed;
    finger.coreColumn = coreColumn;
    finger.coreRow = coreRow;
    return MakeSyntheticImpression(finger);
}

// Another impression of the same finger: jittered, some minutiae lost, some added.
Impression SecondImpression(const Impression& first, uint32_t seed)
{
    return PerturbImpression(first, seed, 2, 6, 5);
}

class MatchCore : public ::testing::Test {
protected:
    MatchContextPtr context = MakeMatchContext();

    int32_t Compare(const Impression& a, const Impression& b, int32_t rotations = 0)
    {
        return CompareMinutiaeSets(a, b, rotations, *context);
    }
};

TEST(MatchContextTest, StartsEmptyWithTheNormalTuning)
{
    MatchContextPtr context = MakeMatchContext();
    ASSERT_TRUE(context);
    EXPECT_EQ(context->tuning.minimumOverlap, 56);
    EXPECT_EQ(context->tuning.maximumDifference, 350);
    EXPECT_EQ(context->tuning.reverseScore, 150);
    EXPECT_EQ(context->tuning.rotationScore, 140);
    EXPECT_EQ(context->tuning.neighbourhoodScore, 240);
    EXPECT_EQ(context->cache.nextIndex, 0);
    BlockMap empty;
    empty.fill(kNoDirection);
    for (const MapCacheSlot& slot : context->cache.slots) {
        EXPECT_FALSE(slot.filled);
        for (const BlockMap& map : slot.maps)
            EXPECT_EQ(map, empty);
    }
}

TEST(MatchContextTest, TakeMatchResultHandsOutPendingValuesOnce)
{
    MatchContextPtr context = MakeMatchContext();
    std::array<int32_t, 3> values{7, 7, 7};
    EXPECT_EQ(TakeMatchResult(*context, values), 1);
    EXPECT_EQ(values, (std::array<int32_t, 3>{0, 0, 0}));

    SetMatchResult(*context, {3, -2, 90});
    EXPECT_EQ(TakeMatchResult(*context, values), 0);
    EXPECT_EQ(values, (std::array<int32_t, 3>{3, -2, 90}));
    EXPECT_EQ(TakeMatchResult(*context, values), 1);
    EXPECT_EQ(values, (std::array<int32_t, 3>{0, 0, 0}));

    // The small form keeps no result.
    MatchContextPtr small = MakeSmallMatchContext();
    SetMatchResult(*small, {3, -2, 90});
    EXPECT_EQ(TakeMatchResult(*small, values), 1);
}

TEST(MatchTablesTest, DirectionCostCarriesDifferenceAndPairCount)
{
    EXPECT_EQ(DirectionCost[0][30], (30u << 16) + 1);
    EXPECT_EQ(DirectionCost[59][0], (1u << 16) + 1);
    EXPECT_EQ(DirectionCost[60][0], 1u);
    EXPECT_EQ(DirectionCost[10][50], (20u << 16) + 1);
    EXPECT_EQ(DirectionCost[61][10], 0u);
    EXPECT_EQ(DirectionCost[10][61], 0u);
    EXPECT_EQ(MatchRoundDistance(3, 4), 5);
    EXPECT_EQ(MatchRoundDistance(-12, 12), 17);
    EXPECT_EQ(MatchRoundDistance(1, 1), 1);
}

TEST(ScoreMatchTest, ReferenceValuesInterpolateTheCurves)
{
    EXPECT_EQ(ScoreReferenceFor(3).lower, 68600);
    EXPECT_EQ(ScoreReferenceFor(8).upper, 107100);
    EXPECT_EQ(ScoreReferenceFor(70).lower, 327600);
    EXPECT_EQ(ScoreReferenceFor(99).upper, 402700);
    // 39 common minutiae fall exactly on point 12.
    EXPECT_EQ(ScoreReferenceFor(39).lower, 218700);
    // 20: t = 464, point 4 with weight 64.
    EXPECT_EQ(ScoreReferenceFor(20).lower, 121100 + 146 * 64);
    EXPECT_EQ(ScoreReferenceFor(20).upper, 165500 + 164 * 64);
}

TEST(ScoreMatchTest, GatesAndCaps)
{
    struct Case {
        const char* what;
        ScoreInputs inputs;  // overlap, common, difference, close, region sum
        int32_t expected;
    };
    const Case cases[] = {
        {"on the upper curve", {100, 20, 200, 10, 1760}, 500},
        {"alignment difference at the limit", {100, 20, 350, 10, 1760}, 0},
        {"too few close pairs for the common area", {100, 20, 200, 5, 1760}, 0},
        {"fewer than two close pairs", {100, 20, 200, 1, 1760}, 0},
        {"close ratio above 27", {100, 20, 200, 7, 1760}, 12},
        {"close ratio above 24 caps at 430", {100, 20, 200, 8, 3000}, 430},
        {"overlap below the minimum caps at 430", {50, 20, 200, 10, 3000}, 430},
        {"fewer than 5 close pairs cap at 300", {100, 8, 200, 4, 2000}, 300},
        {"weak evidence bends below 140", {100, 8, 200, 4, 0}, 107},
        {"no evidence on a large area", {100, 70, 200, 30, 0}, 20},
        {"large area, top evidence", {300, 70, 100, 70, 15750}, 2000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScoreMatch(c.inputs, kNormalMatchTuning), c.expected) << c.what;
}

TEST(ScoreMatchTest, QualityCaps)
{
    EXPECT_EQ(ApplyQualityCaps(520, 20, 80), 500);
    EXPECT_EQ(ApplyQualityCaps(520, 80, 24), 500);
    EXPECT_EQ(ApplyQualityCaps(520, 25, 80), 520);
    EXPECT_EQ(ApplyQualityCaps(520, 12, 80), 460);
    EXPECT_EQ(ApplyQualityCaps(480, 80, 14), 460);
    EXPECT_EQ(ApplyQualityCaps(460, 10, 10), 460);
    EXPECT_EQ(ApplyQualityCaps(300, 10, 10), 300);
}

TEST_F(MatchCore, TooFewMinutiaeOrTooLowQualityScoreZero)
{
    const Impression good = Finger(1);
    Impression two = good;
    two.count = 2;
    Impression poor = good;
    poor.quality = 9;
    EXPECT_GT(Compare(good, good), kAgreeing);
    EXPECT_EQ(Compare(two, good), 0);
    EXPECT_EQ(Compare(good, two), 0);
    EXPECT_EQ(Compare(poor, good), 0);
    EXPECT_EQ(Compare(good, poor), 0);
}

TEST_F(MatchCore, ShortOrCorruptRecordsScoreZero)
{
    const std::vector<uint8_t> record = test::ToRecord(Finger(1));
    EXPECT_GT(CompareMinutiaeSets(record.data(), record.size(), record.data(), record.size(), 0, *context), kAgreeing);
    EXPECT_EQ(CompareMinutiaeSets(record.data(), record.size() - 1, record.data(), record.size(), 0, *context), 0);
    EXPECT_EQ(CompareMinutiaeSets(record.data(), record.size(), nullptr, 0, 0, *context), 0);

    std::vector<uint8_t> corrupt = record;
    corrupt[impression::kCountOffset] = 71;
    EXPECT_EQ(CompareMinutiaeSets(corrupt.data(), corrupt.size(), record.data(), record.size(), 0, *context), 0);

    // Values no extractor writes stay within the tables: blocks of 200, a
    // direction of 250 and minutiae far off the map.
    corrupt = record;
    for (int i = 0; i < 40; ++i)
        corrupt[impression::kBlocksOffset + 5 * i] = 200;
    corrupt[impression::kMinutiaDirectionOffset] = 250;
    corrupt[impression::kMinutiaXOffset + 1] = 255;
    corrupt[impression::kMinutiaYOffset + 2] = 255;
    const int32_t score =
        CompareMinutiaeSets(corrupt.data(), corrupt.size(), record.data(), record.size(), 0, *context);
    EXPECT_GE(score, 0);
}

TEST_F(MatchCore, SameFingerScoresHighAndOtherFingersLow)
{
    for (uint32_t seed = 1; seed <= 5; ++seed) {
        const Impression a = Finger(seed, 7.0 + seed % 3, 9.0 + seed % 4);
        EXPECT_GT(Compare(a, a), 1000) << seed;
        EXPECT_GT(Compare(a, SecondImpression(a, seed + 50)), kAgreeing) << seed;
        // Another finger with a different flow does not align ...
        EXPECT_LT(Compare(a, Finger(seed + 100, 12.0, 15.0)), 150) << seed;
        // ... and one with the same flow aligns but its minutiae do not pair.
        EXPECT_LT(Compare(a, Finger(seed + 200, 7.0 + seed % 3, 9.0 + seed % 4)), 150) << seed;
    }
}

TEST_F(MatchCore, ScoresHoldUnderShiftsOfOneAndTwoBlocks)
{
    const Impression a = Finger(3);
    const int32_t self = Compare(a, a);
    const int32_t shifts[][2] = {{1, 0}, {0, 1}, {-1, -1}, {2, 1}, {-2, 2}, {1, -2}};
    for (const auto& s : shifts) {
        const Impression moved = ShiftImpression(a, s[0], s[1]);
        EXPECT_GT(Compare(a, moved), kAgreeing) << s[0] << "," << s[1];
        EXPECT_GT(Compare(moved, a), kAgreeing) << s[0] << "," << s[1];
        EXPECT_GT(Compare(a, moved), self / 2) << s[0] << "," << s[1];
    }
}

TEST_F(MatchCore, ScoresHoldUnderSmallRotations)
{
    const Impression a = Finger(4);
    const Rotation turns[] = {{966, 259, 5, -1}, {966, -259, -5, 1}, {927, 374, 7, -1}, {927, -374, -7, 1}};
    for (const Rotation& turn : turns) {
        const Impression turned = RotateImpression(a, turn);
        EXPECT_GT(Compare(a, turned), kAgreeing) << turn.sine;
        EXPECT_GT(Compare(turned, a), kAgreeing) << turn.sine;
    }
}

TEST_F(MatchCore, RotationRetriesFindTurnedCopies)
{
    const Impression a = Finger(2);
    for (int32_t index : {1, -1, 2}) {
        const Impression turned = RotateImpression(a, index);
        const int32_t rotations = index < 0 ? -index : index;
        EXPECT_LT(Compare(a, turned, 0), 150) << index;
        EXPECT_GT(Compare(a, turned, rotations), kAgreeing) << index;
    }
}

TEST_F(MatchCore, ReverseComparisonOnlyForPromisingScores)
{
    const Impression a = Finger(5);
    Impression b = SecondImpression(a, 77);
    b.blocks[0] = 7;  // a key of its own in the map cache

    // With the reverse gate out of reach, only the first map enters the cache.
    context->tuning.reverseScore = 0xFFFF;
    const int32_t oneWay = Compare(a, b);
    EXPECT_GT(oneWay, kAgreeing);
    EXPECT_TRUE(MapCacheHolds(context->cache, a.blocks));
    EXPECT_FALSE(MapCacheHolds(context->cache, b.blocks));
    EXPECT_EQ(context->cache.nextIndex, 1);

    // The reverse comparison caches the second map without using up a slot:
    // the next new impression goes where the second map went.
    ResetMatchContext(*context);
    context->tuning = kNormalMatchTuning;
    EXPECT_GE(Compare(a, b), oneWay);
    EXPECT_TRUE(MapCacheHolds(context->cache, b.blocks));
    EXPECT_EQ(context->cache.nextIndex, 1);
    EXPECT_EQ(context->cache.slots[1].key, b.blocks);
    const Impression other = Finger(9, 11.0, 14.0);
    Compare(other, other);
    EXPECT_FALSE(MapCacheHolds(context->cache, b.blocks));
    EXPECT_TRUE(MapCacheHolds(context->cache, a.blocks));
}

TEST_F(MatchCore, TheFortySecondDistinctImpressionEvictsTheFirst)
{
    std::vector<Impression> impressions;
    for (int i = 0; i < 42; ++i) {
        Impression impression = Finger(1);
        impression.blocks[0] = static_cast<uint8_t>(i);  // a distinct key each
        impressions.push_back(impression);
    }
    for (int i = 0; i < 41; ++i)
        Compare(impressions[i], impressions[i]);
    EXPECT_TRUE(MapCacheHolds(context->cache, impressions[0].blocks));
    EXPECT_EQ(context->cache.nextIndex, 0);

    // Comparing a cached impression again costs no slot.
    Compare(impressions[5], impressions[5]);
    EXPECT_EQ(context->cache.nextIndex, 0);

    Compare(impressions[41], impressions[41]);
    EXPECT_FALSE(MapCacheHolds(context->cache, impressions[0].blocks));
    EXPECT_TRUE(MapCacheHolds(context->cache, impressions[1].blocks));
    EXPECT_TRUE(MapCacheHolds(context->cache, impressions[41].blocks));
    EXPECT_EQ(context->cache.nextIndex, 1);
}

TEST_F(MatchCore, CachedMapsGiveTheSameScores)
{
    const Impression a = Finger(6);
    const Impression b = SecondImpression(a, 11);
    const int32_t first = Compare(a, b);
    EXPECT_EQ(Compare(a, b), first);
    ResetMatchContext(*context);
    EXPECT_EQ(Compare(a, b), first);
}

TEST(MatchThreads, OneContextPerThreadGivesTheSameScores)
{
    std::vector<Impression> fingers;
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        fingers.push_back(Finger(seed));
        fingers.push_back(SecondImpression(fingers.back(), seed + 30));
    }
    auto scoreAll = [&fingers](std::vector<int32_t>& scores) {
        MatchContextPtr context = MakeMatchContext();
        for (const Impression& a : fingers) {
            for (const Impression& b : fingers)
                scores.push_back(CompareMinutiaeSets(a, b, 0, *context));
        }
    };
    std::vector<int32_t> alone;
    scoreAll(alone);
    std::vector<int32_t> first;
    std::vector<int32_t> second;
    std::thread one([&] { scoreAll(first); });
    std::thread two([&] { scoreAll(second); });
    one.join();
    two.join();
    EXPECT_EQ(first, alone);
    EXPECT_EQ(second, alone);
}

} // namespace
} // namespace vela::engine
