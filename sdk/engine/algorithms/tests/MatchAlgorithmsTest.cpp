#include <gtest/gtest.h>

#include <limits>

#include "AlgorithmsTestSupport.h"
#include "engine/algorithms/DispatchMatchAlgorithm.h"
#include "engine/algorithms/EntryPairComparisons.h"
#include "engine/algorithms/FastFingerSetAlgorithms.h"
#include "engine/algorithms/FingerSetAlgorithms.h"
#include "engine/algorithms/ImpressionListAlgorithms.h"
#include "engine/algorithms/RescaleImpression.h"
#include "engine/algorithms/ScoreMaps.h"
#include "base/ByteOrder.h"

namespace vela::engine {
namespace {

using test::AgainOf;
using test::EntryOf;
using test::FingerSetBlock;
using test::ListBlock;
using test::MakeFinger;

constexpr int32_t kAllIds[] = {1, 2, 3, 140, 150, 151, 152, 153, 154, 155, 160, 161, 170, 180, 181, 182, 183, 191};

class MatchAlgorithms : public ::testing::Test {
protected:
    MatchContextPtr context = MakeMatchContext();

    int32_t Run(int32_t id, std::span<const uint8_t> first, std::span<const uint8_t> second)
    {
        int32_t score = std::numeric_limits<int32_t>::min();
        EXPECT_TRUE(DispatchMatchAlgorithm(id, first, second, *context, score)) << id;
        return score;
    }
};

TEST_F(MatchAlgorithms, DispatchKnowsExactlyTheListedIds)
{
    for (int32_t id = -2; id < 300; ++id) {
        const bool listed = std::find(std::begin(kAllIds), std::end(kAllIds), id) != std::end(kAllIds);
        EXPECT_EQ(IsKnownMatchAlgorithm(id), listed) << id;
    }
    int32_t score = 77;
    const std::vector<uint8_t> block = ListBlock({MakeFinger(1)});
    EXPECT_FALSE(DispatchMatchAlgorithm(190, block, block, *context, score));
    EXPECT_EQ(score, 0);
}

TEST_F(MatchAlgorithms, AListMixingMarkedAndUnmarkedImpressionsScoresZero)
{
    const Impression finger = MakeFinger(5);
    Impression marked = finger;
    marked.fingerCode = impression::kPlainMarkerMergedTypes;
    Impression unmarked = finger;
    unmarked.fingerCode = impression::kPlainMarker;
    const std::vector<uint8_t> mixed = ListBlock({unmarked, marked, unmarked});
    const std::vector<uint8_t> plain = ListBlock({unmarked});
    ASSERT_GT(Run(1, plain, plain), 450);
    for (int32_t id : {1, 2}) {
        EXPECT_EQ(Run(id, mixed, plain), 0) << id;
        EXPECT_EQ(Run(id, plain, mixed), 0) << id;
    }
    // Algorithm 3 knows no marks.
    EXPECT_GT(Run(3, mixed, plain), 450);
}

TEST_F(MatchAlgorithms, AMarkedListMeetsAnUnmarkedOneEnlarged)
{
    const Impression finger = MakeFinger(6);
    Impression small = AgainOf(finger, 60);
    small.fingerCode = impression::kPlainMarkerMergedTypes;
    Impression full = finger;
    full.fingerCode = impression::kPlainMarker;
    const std::vector<uint8_t> marked = ListBlock({small, small});
    const std::vector<uint8_t> unmarked = ListBlock({full});

    MatchContextPtr reference = MakeMatchContext();
    const int32_t enlarged = MatchImpressionLists({small, small}, {RescaleImpression(full)}, 0, *reference);
    const int32_t asGiven = MatchImpressionLists({small, small}, {full}, 0, *reference);
    ASSERT_NE(enlarged, asGiven);
    EXPECT_EQ(Run(1, marked, unmarked), enlarged);
    EXPECT_EQ(Run(1, unmarked, marked), MatchImpressionLists({RescaleImpression(full)}, {small, small}, 0, *reference));

    // Both marked: nothing is enlarged.
    Impression smallToo = full;
    smallToo.fingerCode = impression::kPlainMarkerMergedTypes;
    EXPECT_EQ(Run(1, marked, ListBlock({smallToo})), MatchImpressionLists({small, small}, {smallToo}, 0, *reference));
}

TEST_F(MatchAlgorithms, OneEntryAgainstOneImpressionOrMinusOne)
{
    const Impression finger = MakeFinger(7);
    const std::vector<uint8_t> oneEntry = FingerSetBlock({EntryOf(1, finger)});
    const std::vector<uint8_t> twoEntries = FingerSetBlock({EntryOf(1, finger), EntryOf(2, finger)});
    const std::vector<uint8_t> oneImpression = ListBlock({AgainOf(finger, 70)});
    const std::vector<uint8_t> twoImpressions = ListBlock({finger, AgainOf(finger, 70)});
    EXPECT_EQ(Run(170, oneEntry, twoImpressions), -1);
    EXPECT_EQ(Run(170, twoEntries, oneImpression), -1);
    EXPECT_EQ(Run(170, oneImpression, oneEntry), -1);
    EXPECT_EQ(Run(170, {}, {}), -1);
    const int32_t score = Run(170, oneEntry, oneImpression);
    EXPECT_GT(score, 450);
    EXPECT_LE(score, 2000);
}

TEST_F(MatchAlgorithms, CompactBlocksThatDoNotExpandGiveMinusThreeOrMinusFour)
{
    const Impression finger = MakeFinger(8);
    const std::vector<uint8_t> good = FingerSetBlock({EntryOf(1, finger)});
    for (int32_t type : {161, 162, 164, 165}) {
        const std::vector<uint8_t> empty = test::MakeBlock(type, {});
        for (int32_t id : {180, 181, 182, 183}) {
            EXPECT_EQ(Run(id, empty, good), -3) << id << " " << type;
            EXPECT_EQ(Run(id, good, empty), -4) << id << " " << type;
            EXPECT_EQ(Run(id, empty, empty), -3) << id << " " << type;
        }
    }
    // Other ids read a compact block as a finger set and find nothing in it.
    EXPECT_EQ(Run(161, test::MakeBlock(161, {}), good), 0);
}

TEST_F(MatchAlgorithms, BlocksTooShortOrLyingAboutTheirSizeScoreZero)
{
    const Impression finger = MakeFinger(9);
    const std::vector<uint8_t> set = FingerSetBlock({EntryOf(1, finger), EntryOf(2, AgainOf(finger, 90))});
    const std::vector<uint8_t> list = ListBlock({finger});
    std::vector<uint8_t> claimsMore = set;
    WriteLe<int32_t>(claimsMore.data(), 1 << 30);
    claimsMore.resize(claimsMore.size() - 1);      // the second entry is cut short
    std::vector<uint8_t> negative = set;
    WriteLe<int32_t>(negative.data(), -5);
    const std::vector<uint8_t> tiny{1, 2, 3};

    for (int32_t id : kAllIds) {
        const std::vector<uint8_t>& good = (id <= 3) ? list : set;
        const int32_t refused = id == 170 ? -1 : 0;
        EXPECT_EQ(Run(id, {}, good), refused) << id;
        EXPECT_EQ(Run(id, good, tiny), refused) << id;
        EXPECT_EQ(Run(id, negative, good), refused) << id;
        EXPECT_GE(Run(id, claimsMore, claimsMore), refused) << id;
    }
    // Only whole entries are read: the cut block is its first entry.
    const std::vector<uint8_t> firstOnly = FingerSetBlock({EntryOf(1, finger)});
    EXPECT_EQ(Run(161, claimsMore, set), Run(161, firstOnly, set));
}

TEST_F(MatchAlgorithms, FingersPairByCodeAndUnknownFingersCountThroughTheSingleMap)
{
    const Impression finger = MakeFinger(10);
    const Impression again = AgainOf(finger, 100);
    const std::vector<uint8_t> first = FingerSetBlock({EntryOf(1, finger)});
    // Another code: never compared.
    EXPECT_EQ(Run(150, first, FingerSetBlock({EntryOf(2, again)})), 0);
    // Code 0 on one side: an unknown finger, mapped as a single score.
    const int32_t pair = CompareEntryPairPlain(test::EntryImpressionsOf(EntryOf(1, finger)),
                                               test::EntryImpressionsOf(EntryOf(0, again)), *context);
    ASSERT_GT(pair, 35);
    EXPECT_EQ(Run(150, first, FingerSetBlock({EntryOf(0, again)})), MapSingleScore(pair));
    // Same code: by finger, one finger scoring s gives 2 s (or 0 below 12).
    const int32_t same = Run(150, first, FingerSetBlock({EntryOf(1, again)}));
    EXPECT_EQ(same, std::min(2000, 2 * pair));
}

TEST_F(MatchAlgorithms, TheRelaxedPassLeavesTheNormalTuning)
{
    const Impression thumb = MakeFinger(11);
    const Impression index = MakeFinger(12);
    const std::vector<uint8_t> first = FingerSetBlock({EntryOf(1, thumb), EntryOf(2, index)});
    const std::vector<uint8_t> second =
        FingerSetBlock({EntryOf(1, AgainOf(thumb, 110)), EntryOf(2, AgainOf(index, 120))});

    const MatchTuning callers{56, 350, 150, 140, 250};
    context->tuning = callers;
    const int32_t twoFingers = Run(183, first, second);
    EXPECT_GT(twoFingers, 700);
    EXPECT_EQ(context->tuning.minimumOverlap, kNormalMatchTuning.minimumOverlap);
    EXPECT_EQ(context->tuning.neighbourhoodScore, kNormalMatchTuning.neighbourhoodScore);

    // One finger makes no second pass and leaves the caller's words alone.
    context->tuning = callers;
    Run(183, FingerSetBlock({EntryOf(1, thumb)}), FingerSetBlock({EntryOf(1, AgainOf(thumb, 110))}));
    EXPECT_EQ(context->tuning.neighbourhoodScore, 250);
}

TEST_F(MatchAlgorithms, FastFingerSetsLeaveTheFirstAlignmentOthersLeaveTheSlotAlone)
{
    const Impression finger = MakeFinger(13);
    const std::vector<uint8_t> first = FingerSetBlock({EntryOf(1, finger)});
    const std::vector<uint8_t> second = FingerSetBlock({EntryOf(1, AgainOf(finger, 130))});
    std::array<int32_t, 3> values{};

    SetMatchResult(*context, {9, 9, 9});
    Run(181, first, second);
    ASSERT_EQ(TakeMatchResult(*context, values), 0);
    EXPECT_NE(values, (std::array<int32_t, 3>{9, 9, 9}));
    EXPECT_LE(std::abs(values[0]), 100);

    SetMatchResult(*context, {9, 9, 9});
    Run(183, first, second);
    ASSERT_EQ(TakeMatchResult(*context, values), 0);
    EXPECT_EQ(values, (std::array<int32_t, 3>{9, 9, 9}));
}

TEST_F(MatchAlgorithms, EveryIdScoresGenuineAboveImpostorOnSyntheticFingers)
{
    const Impression finger = MakeFinger(14);
    const Impression again = AgainOf(finger, 140);
    const Impression other = MakeFinger(15);
    const std::vector<uint8_t> listA = ListBlock({finger});
    const std::vector<uint8_t> listB = ListBlock({again});
    const std::vector<uint8_t> listC = ListBlock({other});
    const std::vector<uint8_t> setA = FingerSetBlock({EntryOf(1, finger)});
    const std::vector<uint8_t> setB = FingerSetBlock({EntryOf(1, again)});
    const std::vector<uint8_t> setC = FingerSetBlock({EntryOf(1, other)});
    for (int32_t id : kAllIds) {
        if (id == 140)
            continue;  // four-slot blocks are tried on real images
        const bool lists = id <= 3;
        const std::vector<uint8_t>& a = lists ? listA : setA;
        const std::vector<uint8_t>& b = lists || id == 170 ? listB : setB;
        const std::vector<uint8_t>& c = lists || id == 170 ? listC : setC;
        const int32_t genuine = Run(id, a, b);
        const int32_t impostor = Run(id, a, c);
        EXPECT_GE(genuine, 450) << id;
        EXPECT_LT(impostor, 450) << id;
    }
}

} // namespace
} // namespace vela::engine
