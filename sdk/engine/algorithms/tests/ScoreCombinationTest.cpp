#include <gtest/gtest.h>

#include <vector>

#include "engine/algorithms/CombineScores.h"
#include "engine/algorithms/EntryPairComparisons.h"
#include "engine/algorithms/FingerPairing.h"
#include "engine/algorithms/ScoreCurves.h"
#include "engine/algorithms/ScoreMaps.h"
#include "engine/algorithms/SlotAlgorithm.h"

namespace vela::engine {
namespace {

struct MapCase {
    int32_t in;
    int32_t out;
};

FingerScoreList Scores(const std::vector<int32_t>& scores)
{
    FingerScoreList list = kEmptyFingerScores;
    for (size_t i = 0; i < scores.size(); ++i)
        list[i] = scores[i];
    return list;
}

TEST(ScoreMapsTest, MapSlotScore)
{
    const MapCase cases[] = {{-5, 0}, {13, 0}, {14, 100}, {15, 101}, {77, 150}, {140, 200}, {356, 500},
                             {799, 999}, {800, 1000}, {801, 1000}, {5000, 1000}};
    for (const MapCase& c : cases)
        EXPECT_EQ(MapSlotScore(c.in), c.out) << c.in;
}

TEST(ScoreMapsTest, MapSlotSum)
{
    const MapCase cases[] = {{-1, 0}, {0, 0}, {1, 137}, {15, 137}, {29, 137}, {290, 200}, {990, 551},
                             {1990, 1129}, {2500, 1129}, {4000, 1129}};
    for (const MapCase& c : cases)
        EXPECT_EQ(MapSlotSum(c.in), c.out) << c.in;
}

TEST(ScoreMapsTest, MapSingleScore)
{
    const MapCase cases[] = {{-3, 0}, {0, 0}, {35, 0}, {36, 101}, {140, 200}, {185, 250}, {230, 300},
                             {300, 400}, {360, 500}, {420, 600}, {421, 601}, {700, 1000}, {1050, 1500}};
    for (const MapCase& c : cases)
        EXPECT_EQ(MapSingleScore(c.in), c.out) << c.in;
}

TEST(ScoreCurvesTest, CurvesStartAtZeroNeverFallAndPassTheirAnchors)
{
    const auto& slot = SlotSumCurve();
    EXPECT_EQ(slot[0], 0);
    for (size_t i = 1; i < slot.size(); ++i)
        EXPECT_GE(slot[i], slot[i - 1]) << i;
    const std::vector<int32_t> firstFifteen{0, 0, 0, 0, 1, 1, 2, 4, 5, 7, 10, 12, 15, 19, 22};
    for (size_t i = 0; i < firstFifteen.size(); ++i)
        EXPECT_EQ(slot[i], firstFifteen[i]) << i;
    EXPECT_EQ(slot[29], 100);
    EXPECT_EQ(slot[99], 655);
    EXPECT_EQ(slot[149], 1103);
    EXPECT_EQ(slot[199], 1567);
    // Between anchors the curve runs straight: halfway from 29 (100) to 99 (655).
    EXPECT_EQ(slot[64], 378);

    const auto& ranked = RankedScoreCurves();
    for (int32_t s = 0; s < kRankedScorePoints; ++s)
        EXPECT_EQ(ranked[0][s], 10 * s);
    const int32_t sums[] = {10, 30, 50, 100, 200, 299};
    const int32_t anchors[9][6] = {{48, 210, 390, 862, 1833, 2806}, {23, 150, 310, 754, 1696, 2651},
                                   {10, 106, 248, 663, 1576, 2515}, {4, 74, 197, 585, 1469, 2390},
                                   {1, 50, 156, 517, 1371, 2276},   {0, 33, 122, 456, 1282, 2169},
                                   {0, 21, 95, 402, 1199, 2069},    {0, 13, 72, 354, 1122, 1975},
                                   {0, 8, 54, 310, 1050, 1886}};
    for (int row = 1; row < kRankedScoreRows; ++row) {
        EXPECT_EQ(ranked[row][0], 0);
        for (int32_t s = 1; s < kRankedScorePoints; ++s)
            EXPECT_GE(ranked[row][s], ranked[row][s - 1]) << row << " " << s;
        for (int a = 0; a < 6; ++a)
            EXPECT_EQ(ranked[row][sums[a]], anchors[row - 1][a]) << row << " " << sums[a];
    }
    EXPECT_EQ(ranked[1][20], 129);   // halfway from 48 to 210
}

TEST(CombineScoresTest, CombineFingerScores)
{
    const struct {
        std::vector<int32_t> scores;
        int32_t combined;
    } cases[] = {
        {{900}, 1800},
        {{600, 560}, 1160},
        {{600, 500}, 1100},
        {{11}, 0},
        {{}, 0},
        {{-1, 12}, 24},
        {{801, 900}, 1800},          // the best alone counts once it is above 800
        {{300, -1, 100, 200}, 400},  // twice the mean of the scored places
        {{0, 0, 30}, 20},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CombineFingerScores(Scores(c.scores)), c.combined) << ::testing::PrintToString(c.scores);
}

TEST(CombineScoresTest, CombineRankedScores)
{
    EXPECT_EQ(CombineRankedScores(Scores({140}), 1), 200);
    EXPECT_EQ(CombineRankedScores(Scores({140}), 0), 0);
    EXPECT_EQ(CombineRankedScores(Scores({0, -1}), 2), 0);
    // A single finger reads row 0 exactly: 10 x (mapped / 10).
    EXPECT_EQ(CombineRankedScores(Scores({421}), 1), 600);
    // Two fingers: both map to 1500, their sum reaches 300 tens and runs far
    // past the cap, which the finger-set entries apply.
    const int32_t twoStrong = CombineRankedScores(Scores({1050, 1050}), 2);
    EXPECT_GT(twoStrong, 2000);
    EXPECT_EQ(FinishFingerSetScore(twoStrong, 0), 2000);
    // The order of the list does not matter; weak fingers pay the fee.
    EXPECT_EQ(CombineRankedScores(Scores({140, 420}), 2), CombineRankedScores(Scores({420, 140}), 2));
    // [420, 140]: mapped 600 and 200; t[0] = 600, t[1] = row 1 at 80 tens = 673;
    // the fee for two is 30, so t[1] = 673 stands.
    EXPECT_EQ(CombineRankedScores(Scores({420, 140}), 2), 673);
    // [420, 0]: t[0] = 600, t[1] = row 1 at 60 = 484; 600 - 30 = 570 wins.
    EXPECT_EQ(CombineRankedScores(Scores({420, 0}), 2), 570);
}

TEST(CombineScoresTest, CompactKeepsOrderAndCounts)
{
    FingerScoreList list = Scores({-1, 30, -1, 0, 500});
    EXPECT_EQ(CompactFingerScores(list), 3);
    EXPECT_EQ(list, Scores({30, 0, 500}));
    FingerScoreList empty = kEmptyFingerScores;
    EXPECT_EQ(CompactFingerScores(empty), 0);
}

TEST(CombineScoresTest, FingerCountThreshold)
{
    const MapCase cases[] = {{0, 5000}, {1, 5000}, {2, 200}, {3, 150}, {4, 120}, {5, 5000}, {10, 5000}};
    for (const MapCase& c : cases)
        EXPECT_EQ(FingerCountThreshold(c.in), c.out) << c.in;
}

TEST(EntryPairTest, AMiddlingScoreSupportedByOneSideOnlyIsHeldAt552)
{
    const struct {
        int32_t main;
        int32_t odd;
        int32_t score;
    } cases[] = {{600, 400, 552}, {600, 450, 600}, {600, 416, 600}, {600, 415, 552}, {700, 0, 700},
                 {699, 0, 552}, {551, 0, 551}, {552, 0, 552}, {0, 650, 552}, {0, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(CombineEntryPairScores(c.main, c.odd), c.score) << c.main << " " << c.odd;
}

TEST(SlotScoresTest, FirstPassAndCombination)
{
    EXPECT_FALSE(SlotFirstPassAgrees(0, 1000));
    EXPECT_FALSE(SlotFirstPassAgrees(3, 399));
    EXPECT_TRUE(SlotFirstPassAgrees(3, 400));

    // A slot mapping above 680 decides 900; fewer than four slots in common add 250.
    EXPECT_EQ(CombineSlotScores({700, 0, 0, 0}, 4), 900);
    EXPECT_EQ(CombineSlotScores({700, 0, 0, 0}, 3), 1150);
    // Two slots mapping above 450 decide 910.
    EXPECT_EQ(CombineSlotScores({400, 400, 0, 0}, 4), 910);
    // Otherwise the mapped sum speaks: 4 x 500 = 2000 tops the curve.
    EXPECT_EQ(CombineSlotScores({356, 356, 356, 356}, 4), 1129);
    EXPECT_EQ(CombineSlotScores({0, 0, 0, 0}, 4), 0);
}

} // namespace
} // namespace vela::engine
