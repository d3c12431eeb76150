#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/cleaning/RidgeTables.h"

namespace vela::engine {
namespace {

LinePoint PointAt(int angle, int distance) { return RidgeLineOffsets()[angle][distance + kLineReach]; }

TEST(RidgeTables, ThetaCosSinHoldsDoubledAngles)
{
    const ThetaCosSinTable& t = ThetaCosSin();
    EXPECT_DOUBLE_EQ(t.cos2[0], 1.0);
    EXPECT_NEAR(t.cos2[45], 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(t.sin2[45], 1.0);
    EXPECT_DOUBLE_EQ(t.cos2[90], -1.0);
    EXPECT_NEAR(t.cos2[180], 1.0, 1e-15);
    EXPECT_NEAR(t.sin2[30], std::sqrt(3.0) / 2, 1e-15);
}

TEST(RidgeTables, LineOffsetsFollowTheGivenPoints)
{
    struct Case {
        int angle, distance, dy, dx;
    };
    const Case cases[] = {
        {0, 5, 5, 0},    {0, -20, -20, 0}, {90, 7, 0, -7},  {90, -3, 0, 3},   {45, -7, -5, 5},  {45, -1, -1, 1},
        {45, 7, 5, -5},  {135, -7, 5, 5},  {135, 7, -5, -5}, {180, 4, -4, 0}, {30, 20, 17, -10},
    };
    for (const Case& c : cases) {
        const LinePoint p = PointAt(c.angle, c.distance);
        EXPECT_EQ(p.dy, c.dy) << c.angle << " " << c.distance;
        EXPECT_EQ(p.dx, c.dx) << c.angle << " " << c.distance;
    }
    for (int a = 0; a <= 180; ++a)
        EXPECT_EQ(PointAt(a, 0).dy | PointAt(a, 0).dx, 0) << a;
}

TEST(RidgeTables, KernelsAreSampledCosinesShiftedByPhase)
{
    const auto& kernels = RidgeKernels();
    const RidgeKernel& p8 = kernels[RidgeKernelIndex(8, 0)];
    const int expected[] = {-85, 0, 85, 120, 85};
    for (int t = 0; t <= 4; ++t)
        EXPECT_EQ(p8[t + kLineReach], expected[t]) << t;
    EXPECT_EQ(kernels[RidgeKernelIndex(4, 0)][2 + kLineReach], 120);
    // Each phase step moves the wave one pixel toward negative distances.
    for (int period = 3; period <= 18; ++period)
        for (int phase = 1; phase < 20; ++phase)
            for (int t = -19; t <= 20; ++t)
                ASSERT_EQ(kernels[RidgeKernelIndex(period, phase)][t - 1 + kLineReach],
                          kernels[RidgeKernelIndex(period, phase - 1)][t + kLineReach])
                    << period << " " << phase << " " << t;
}

int FitScore(int pattern, int period, int phase)
{
    // Periods 19 and 20 lie beyond the kernels: the same cosine, computed.
    int score = 0;
    for (int t = -7; t <= 7; ++t) {
        int tap;
        if (period <= 18) {
            tap = RidgeKernels()[RidgeKernelIndex(period, phase)][t + kLineReach];
        } else {
            const int peak = ((RidgeKernelStartPeak(period) - phase) % period + period) % period;
            const double x = 120 * std::cos(2 * 3.14159265358979323846 * (t - peak) / period);
            tap = static_cast<int>(x >= 0 ? x + 0.5 : x - 0.5);
        }
        score += (pattern >> (t + 7) & 1) ? tap : -tap;
    }
    return score;
}

TEST(RidgePatternTable, EveryEntryIsABestFitWithItsPhaseBelowItsPeriod)
{
    const auto& table = RidgePatternTable();
    for (int pattern = 0; pattern < (1 << 15); pattern += 7) {
        int best = -1000000;
        for (int period = 3; period <= 20; ++period)
            for (int phase = 0; phase < period; ++phase)
                best = std::max(best, FitScore(pattern, period, phase));
        const RidgePattern fit = table[pattern];
        ASSERT_LT(fit.phase, fit.period) << pattern;
        ASSERT_EQ(FitScore(pattern, fit.period, fit.phase), best) << pattern;
    }
}

TEST(RidgePatternTable, ProfilesOfShortKernelsFitThoseKernels)
{
    // Over 15 samples the short periods are well determined; the profile of a
    // kernel is fitted by a wave of about that period agreeing in at least
    // 14 of the 15 signs.
    const auto& table = RidgePatternTable();
    const auto& kernels = RidgeKernels();
    for (int period = 4; period <= 9; ++period)
        for (int phase = 0; phase < period; ++phase) {
            const RidgeKernel& k = kernels[RidgeKernelIndex(period, phase)];
            int pattern = 0;
            for (int t = -7; t <= 7; ++t)
                pattern |= (k[t + kLineReach] > 0 ? 1 : 0) << (t + 7);
            const RidgePattern fit = table[pattern];
            EXPECT_NEAR(fit.period, period, 1) << period << " " << phase;
            int agree = 0;
            for (int t = -7; t <= 7; ++t)
                agree += (kernels[RidgeKernelIndex(fit.period, fit.phase)][t + kLineReach] > 0) == (k[t + kLineReach] > 0);
            EXPECT_GE(agree, 14) << period << " " << phase;
        }
}

TEST(RidgePatternTable, FlatProfilesCarryTheMarkOfNoPeriod)
{
    const auto& table = RidgePatternTable();
    EXPECT_EQ(table[0].period, 20);
    EXPECT_EQ(table[0x7FFF].period, 20);
    // One ridge edge in the middle: longer than any kernel describes.
    EXPECT_GE(table[0x7F00].period, 19);
}

TEST(RidgePatternTable, RegularStripesGiveTheirPeriod)
{
    const auto& table = RidgePatternTable();
    for (int period : {4, 6, 8}) {
        int pattern = 0;
        for (int k = 0; k < 15; ++k)
            pattern |= ((k % period) < period / 2 ? 1 : 0) << k;
        EXPECT_EQ(table[pattern].period, period) << period;
    }
}

} // namespace
} // namespace vela::engine
