#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "engine/cleaning/CanvasFilters.h"
#include "engine/cleaning/ContrastQuality.h"
#include "engine/cleaning/EnhanceRidges.h"
#include "engine/cleaning/ForegroundMask.h"
#include "engine/cleaning/OrientationMap.h"
#include "engine/cleaning/PatternMeasure.h"
#include "engine/cleaning/RidgeTables.h"
#include "engine/cleaning/ThresholdLine.h"
#include "engine/input/FindCorePoint.h"

namespace vela::engine {
namespace {

using Canvas = std::vector<uint8_t>;
constexpr CanvasExtent kFull{640, 640};

Canvas Blank(uint8_t value = 0) { return Canvas(kCanvasBytes, value); }

// Grey ridges of the given period along the orientation (degrees from the
// rows toward increasing rows), dark ridges on a light ground.
Canvas Grating(double degrees, double period)
{
    const double theta = degrees * std::numbers::pi / 180;
    Canvas canvas = Blank();
    for (int y = 0; y < 640; ++y)
        for (int x = 0; x < 640; ++x) {
            const double across = -x * std::sin(theta) + y * std::cos(theta);
            canvas[y * 640 + x] = static_cast<uint8_t>(128 + 100 * std::cos(2 * std::numbers::pi * across / period));
        }
    return canvas;
}

CanvasBlockMap Map(CanvasExtent extent, uint8_t inside, uint8_t outside)
{
    CanvasBlockMap map;
    map.fill(outside);
    for (int r = 0; r < extent.Rows(); ++r)
        for (int c = 0; c < extent.Columns(); ++c)
            map[r * 40 + c] = inside;
    return map;
}

int AngleDistance(int a, int b)
{
    const int d = std::abs(a - b) % 180;
    return std::min(d, 180 - d);
}

TEST(CleaningSteps, GratingsGiveTheirOrientationAndPeriod)
{
    const CanvasBlockMap mask = Map(kFull, 1, 0);
    Canvas mean = Blank(), scratch = Blank(), binary = Blank(), enhanced = Blank();
    std::vector<int16_t> accumulator(kCanvasBytes);
    for (int step = 0; step < 60; ++step) {
        const int degrees = 3 * step;
        for (double period : {7.0, 10.0}) {
            SCOPED_TRACE(::testing::Message() << degrees << " degrees, period " << period);
            const Canvas grating = Grating(degrees, period);
            BoxMean(grating.data(), mean.data(), scratch.data(), kFull, 3);
            const CanvasBlockMap orientation = BuildOrientationMap(mean.data(), mask, kFull);
            int off = 0;
            for (int r = 1; r < 39; ++r)
                for (int c = 1; c < 39; ++c)
                    off += AngleDistance(orientation[r * 40 + c], degrees) > 3;
            EXPECT_EQ(off, 0);

            for (size_t k = 0; k < kCanvasBytes; ++k)
                binary[k] = grating[k] < 128 ? 255 : 0;
            const int32_t value = EnhanceRidges(binary.data(), orientation, mask, enhanced.data(), accumulator.data(), kFull);
            EXPECT_NEAR(value, period * 100, period * 8);
        }
    }
}

TEST(CleaningSteps, BlockOrientationIsContinuousThroughTies)
{
    // A tie of Gxx and Gyy lies on the 45 or 135 degree diagonal, as its
    // neighbours on both sides do.
    EXPECT_EQ(BlockOrientation({1000, 1000, -400}), 45);
    EXPECT_EQ(BlockOrientation({1001, 1000, -400}), 45);
    EXPECT_EQ(BlockOrientation({1000, 1001, -400}), 45);
    EXPECT_EQ(BlockOrientation({1000, 1000, 400}), 135);
    EXPECT_EQ(BlockOrientation({1001, 1000, 400}), 135);
    EXPECT_EQ(BlockOrientation({1000, 1001, 400}), 135);
    EXPECT_EQ(BlockOrientation({1, 0, 0}), kNoOrientation);
    EXPECT_EQ(BlockOrientation({5000, 0, 0}), 90); // gradient along the rows: ridges along the columns
    EXPECT_EQ(BlockOrientation({0, 5000, 0}), 0);
}

TEST(CleaningSteps, StretchContrastMapsTheClippedRangeAndLeavesFlatWindowsAlone)
{
    const CanvasExtent extent{100, 100};
    const CanvasWindow window{0, 99, 0, 99};
    Canvas flat = Blank(77);
    StretchContrast(flat.data(), extent, 140, window);
    EXPECT_EQ(flat[50 * 640 + 50], 77);

    Canvas ramp = Blank();
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            ramp[y * 640 + x] = static_cast<uint8_t>(50 + x); // 100 pixels of each value 50..149
    Canvas stretched = ramp;
    StretchContrast(stretched.data(), extent, 140, window);
    EXPECT_EQ(stretched[0], 0);        // 50 is below lo = 51
    EXPECT_EQ(stretched[1], 0);        // 51 is lo
    EXPECT_EQ(stretched[99], 255);     // 149 above hi = 148
    EXPECT_EQ(stretched[50], (100 - 51) * 255 / (148 - 51));

    Canvas few = ramp;                 // 10,000 pixels, a clip of 20,000 is never reached
    StretchContrast(few.data(), extent, 20000, window);
    EXPECT_EQ(few, ramp);
}

TEST(CleaningSteps, BoxMeanLeavesItsHalfWidthBorderZero)
{
    const CanvasExtent extent{50, 40};
    Canvas source = Blank(90), destination = Blank(1), scratch = Blank();
    BoxMean(source.data(), destination.data(), scratch.data(), extent, 9);
    EXPECT_EQ(destination[3 * 640 + 20], 0);
    EXPECT_EQ(destination[4 * 640 + 20], 90);
    EXPECT_EQ(destination[35 * 640 + 20], 90);
    EXPECT_EQ(destination[36 * 640 + 20], 0);
    EXPECT_EQ(destination[20 * 640 + 3], 0);
    EXPECT_EQ(destination[20 * 640 + 45], 90);
    EXPECT_EQ(destination[20 * 640 + 46], 0);
    // In place, as the enhancement uses it.
    BoxMean(source.data(), source.data(), scratch.data(), extent, 3);
    EXPECT_EQ(source[0], 0);
    EXPECT_EQ(source[1 * 640 + 1], 90);
}

// Box means are the means (rounded down) of the row means of every window
// inside the extent, zero elsewhere on the canvas: for the windows the
// cleaning uses, one of another size, and windows too wide for 16-bit sums.
TEST(CleaningSteps, BoxMeanIsTheMeanOfTheWindowsRowMeans)
{
    uint32_t state = 5;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return static_cast<uint8_t>(state >> 16);
    };
    Canvas source = Blank();
    for (uint8_t& pixel : source)
        pixel = next();
    for (const CanvasExtent extent : {CanvasExtent{437, 301}, CanvasExtent{640, 640}, CanvasExtent{20, 7}}) {
        for (int window : {3, 9, 5, 121, 301}) {
            const int half = window / 2, n = 2 * half + 1;
            Canvas rows = Blank();
            if (extent.width >= n)
                for (int r = 0; r < extent.height; ++r)
                    for (int c = half; c < extent.width - half; ++c) {
                        int sum = 0;
                        for (int k = -half; k <= half; ++k)
                            sum += source[r * 640 + c + k];
                        rows[r * 640 + c] = static_cast<uint8_t>(sum / n);
                    }
            Canvas expected = Blank();
            if (extent.height >= n)
                for (int r = half; r < extent.height - half; ++r)
                    for (int c = 0; c < extent.width; ++c) {
                        int sum = 0;
                        for (int k = -half; k <= half; ++k)
                            sum += rows[(r + k) * 640 + c];
                        expected[r * 640 + c] = static_cast<uint8_t>(sum / n);
                    }
            Canvas destination = Blank(7), scratch = Blank(9);
            BoxMean(source.data(), destination.data(), scratch.data(), extent, window);
            ASSERT_TRUE(destination == expected) << extent.width << " x " << extent.height << ", window " << window;
        }
    }
}

// The enhancement spreads what spreading each pixel's kernel and along
// value on its own gives: ridges of several periods and noise, every
// orientation, background blocks and blocks without an orientation.
TEST(CleaningSteps, RidgeEnhancementSpreadsAsPixelByPixel)
{
    uint32_t state = 17;
    auto next = [&state](uint32_t below) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % below;
    };
    const CanvasExtent extent{437, 301};
    Canvas binary = Blank();
    for (int y = 0; y < 640; ++y)
        for (int x = 0; x < 640; ++x) {
            const int period = 5 + (x / 97 + y / 83) % 9;
            binary[y * 640 + x] = ((x + 2 * y) % period < period / 2) != (next(17) == 0) ? 255 : 0;
        }
    CanvasBlockMap orientation{};
    CanvasBlockMap mask{};
    for (size_t block = 0; block < orientation.size(); ++block) {
        orientation[block] = static_cast<uint8_t>(next(11) == 0 ? kNoOrientation : next(180));
        mask[block] = next(7) == 0 ? 0 : 1;
    }

    // Pixel by pixel, as written out in full.
    const auto& offsets = RidgeLineOffsets();
    const auto& patterns = RidgePatternTable();
    const auto& kernels = RidgeKernels();
    std::vector<int16_t> sums(kCanvasBytes, 0);
    int64_t periodSum = 0;
    int periodCount = 0;
    for (int row = 24; row <= extent.height - 25; ++row)
        for (int column = 24; column <= extent.width - 25; ++column) {
            const int block = (row / 16) * 40 + column / 16;
            if (orientation[block] == kNoOrientation || !mask[block])
                continue;
            const int at = row * 640 + column;
            const RidgePattern fit = patterns[SampleRidgePattern(binary.data(), at, orientation[block])];
            if (fit.period < 4 || fit.period > 18)
                continue;
            periodSum += fit.period;
            ++periodCount;
            const int reach = std::min<int>(fit.period, 8);
            const RidgeKernel& kernel = kernels[RidgeKernelIndex(fit.period, fit.phase)];
            const RidgeLine& line = offsets[180 - orientation[block]];
            for (int t = -reach; t <= reach; ++t) {
                const LinePoint p = line[t + kLineReach];
                sums[at + p.dy * 640 - p.dx] = static_cast<int16_t>(sums[at + p.dy * 640 - p.dx] + kernel[t + kLineReach]);
                sums[at + p.dx * 640 + p.dy] = static_cast<int16_t>(sums[at + p.dx * 640 + p.dy] + (binary[at] ? 150 : -150));
            }
        }
    Canvas expected = Blank();
    for (int row = 0; row < extent.height; ++row)
        for (int column = 0; column < extent.width; ++column)
            expected[row * 640 + column] = static_cast<uint8_t>(std::clamp(sums[row * 640 + column] / 32 + 128, 0, 255));
    ASSERT_GE(periodCount, 10);

    Canvas enhanced = Blank(3);
    std::vector<int16_t> accumulator(kCanvasBytes, 5);
    const int32_t period = EnhanceRidges(binary.data(), orientation, mask, enhanced.data(), accumulator.data(), extent);
    EXPECT_EQ(period, static_cast<int32_t>(std::lround(static_cast<double>(periodSum) / periodCount * 100)));
    EXPECT_TRUE(enhanced == expected);
}

ThresholdSums SumsOf(const std::vector<std::pair<int, int>>& pairs) // (a = 9-mean, b = 3-mean)
{
    ThresholdSums s{0, 0, 0, 0, 0, 0};
    for (auto [a, b] : pairs) {
        s.n += 1;
        s.sa += a;
        s.sb += b;
        s.saa += a * a;
        s.sab += a * b;
        s.sbb += b * b;
    }
    return s;
}

TEST(CleaningSteps, ThresholdLineStopsWhereTheErrorStopsFalling)
{
    // b = a + 5: the error keeps falling up to intercept 5, so three steps end at 2.
    const ThresholdSums rising = SumsOf({{100, 105}, {120, 125}, {140, 145}, {90, 95}});
    ThresholdLine line = FitThresholdLine(rising, 3);
    EXPECT_EQ(line.intercept, 2);
    EXPECT_DOUBLE_EQ(line.slope, rising.Slope(2));
    // With room for more steps it stops at the first intercept whose error
    // reaches 1.05 x error(0), and keeps the one before it.
    const ThresholdLine longer = FitThresholdLine(rising, 16);
    EXPECT_GT(longer.intercept, 2);
    EXPECT_LT(rising.Error(longer.intercept), 1.05 * rising.Error(0));
    EXPECT_GE(rising.Error(longer.intercept + 1), 1.05 * rising.Error(0));

    // b = a - 5: error(1) is already above error(0): plain comparison of the means.
    line = FitThresholdLine(SumsOf({{100, 95}, {120, 115}, {140, 135}, {90, 85}}), 3);
    EXPECT_EQ(line.intercept, 0);
    EXPECT_EQ(line.slope, 1.0);

    // No print pixels: the error is the fixed 1,000,000 and the slope 1.
    line = FitThresholdLine(SumsOf({}), 3);
    EXPECT_EQ(line.slope, 1.0);
}

// The block-wise sums and the per-value binarisation give what the
// per-pixel rule gives: noise canvases, a patchy mask whose blocks are cut
// by the margins, and lines whose thresholds fall between grey levels, on
// them, beyond the range, or are not numbers.
TEST(CleaningSteps, ThresholdSumsAndBinarisationFollowThePerPixelRule)
{
    uint32_t state = 99;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0xFF;
    };
    const CanvasExtent extent{437, 301};
    Canvas meanOf3 = Blank();
    Canvas meanOf9 = Blank();
    for (size_t at = 0; at < meanOf3.size(); ++at) {
        meanOf9[at] = static_cast<uint8_t>(next());
        meanOf3[at] = static_cast<uint8_t>(next() % 2 == 0 ? meanOf9[at] + next() % 9 - 4 : next());
    }
    CanvasBlockMap mask{};
    for (size_t block = 0; block < mask.size(); ++block)
        mask[block] = next() % 3 != 0 ? 1 : 0;

    int64_t n = 0, sa = 0, sb = 0, saa = 0, sab = 0, sbb = 0;
    for (int row = 9; row <= extent.height - 9; ++row)
        for (int column = 9; column <= extent.width - 9; ++column) {
            if (!mask[(row / 16) * 40 + column / 16])
                continue;
            const int64_t a = meanOf9[row * 640 + column], b = meanOf3[row * 640 + column];
            ++n, sa += a, sb += b, saa += a * a, sab += a * b, sbb += b * b;
        }
    const ThresholdSums sums = SumThresholdPixels(meanOf3.data(), meanOf9.data(), mask, extent);
    EXPECT_EQ(sums.n, static_cast<double>(n));
    EXPECT_EQ(sums.sa, static_cast<double>(sa));
    EXPECT_EQ(sums.sb, static_cast<double>(sb));
    EXPECT_EQ(sums.saa, static_cast<double>(saa));
    EXPECT_EQ(sums.sab, static_cast<double>(sab));
    EXPECT_EQ(sums.sbb, static_cast<double>(sbb));

    for (const ThresholdLine line : {ThresholdLine{1.0, 0.0}, ThresholdLine{0.93, 2.0}, ThresholdLine{0.5, 3.0},
                                     ThresholdLine{1.0000001, 7.0}, ThresholdLine{-0.7, 300.0},
                                     ThresholdLine{1e9, -1e9}, ThresholdLine{std::nan(""), 0.0}}) {
        Canvas binary = Blank(77);
        BinariseByThresholdLine(meanOf3.data(), meanOf9.data(), mask, extent, line, binary.data());
        for (int row = 4; row <= extent.height - 5; ++row)
            for (int column = 4; column <= extent.width - 5; ++column) {
                const int at = row * 640 + column;
                const bool ridge = mask[(row / 16) * 40 + column / 16] &&
                                   line.slope * meanOf9[at] + line.intercept > meanOf3[at];
                ASSERT_EQ(binary[at], ridge ? 255 : 0) << line.slope << ", " << line.intercept << " at " << at;
            }
        EXPECT_EQ(binary[3 * 640 + 10], 77);
    }
}

TEST(CleaningSteps, PrintTiltFollowsTheLongAxis)
{
    struct Case {
        int x0, y0, dx, dy;
        double expected;
    };
    const Case cases[] = {
        {300, 100, 0, 1, 0},   // upright: along the rows of the canvas
        {100, 300, 1, 0, 90},  // lying
        {100, 100, 1, 1, 45},  // down to the right
    };
    for (const Case& c : cases) {
        Canvas binary = Blank();
        for (int k = 0; k < 400; ++k)
            for (int w = -6; w <= 6; ++w)
                binary[(c.y0 + k * c.dy + w * c.dx) * 640 + c.x0 + k * c.dx - w * c.dy] = 255;
        EXPECT_NEAR(EstimatePrintTilt(binary.data(), kFull), c.expected, 1.5) << c.dx << "," << c.dy;
    }
    EXPECT_EQ(EstimatePrintTilt(Blank().data(), kFull), 0.0); // no pixel set: no tilt, no division by zero
}

TEST(CleaningSteps, OrientationBreaksAndHoles)
{
    const CanvasExtent extent{320, 320}; // 20 x 20 blocks
    CanvasBlockMap map = Map(extent, 60, kNoOrientation);
    map[5 * 40 + 5] = 91; // 31 degrees off its neighbours
    map[9 * 40 + 9] = 90; // 30 degrees off: kept
    ClearOrientationBreaks(map, extent);
    EXPECT_EQ(map[5 * 40 + 5], kNoOrientation);
    EXPECT_EQ(map[4 * 40 + 5], kNoOrientation);
    EXPECT_EQ(map[5 * 40 + 4], kNoOrientation);
    EXPECT_EQ(map[5 * 40 + 6], kNoOrientation);
    EXPECT_EQ(map[6 * 40 + 5], kNoOrientation);
    EXPECT_EQ(map[9 * 40 + 9], 90);
    EXPECT_EQ(map[5 * 40 + 7], 60);

    CanvasBlockMap mask = Map(extent, 1, 0);
    mask[0] = 0;
    FillOrientationHoles(map, mask, extent);
    EXPECT_EQ(map[5 * 40 + 5], 60);
    EXPECT_EQ(map[4 * 40 + 5], 60);
    EXPECT_EQ(map[0], kNoOrientation); // background stays unoriented

    CanvasBlockMap sparse = Map(extent, kNoOrientation, kNoOrientation);
    for (int k = 0; k < 15; ++k)
        sparse[10 * 40 + k + 1] = 20;
    const CanvasBlockMap before = sparse;
    FillOrientationHoles(sparse, mask, extent);
    EXPECT_EQ(sparse, before); // 15 oriented blocks or fewer: holes stay
}

TEST(CleaningSteps, PatternMeasureOfSparseMapsAndCurveEnds)
{
    const CanvasExtent extent{640, 640};
    CanvasBlockMap map = Map(extent, kNoOrientation, kNoOrientation);
    for (int k = 0; k < 9; ++k)
        map[20 * 40 + k + 5] = 10;
    const PatternResult sparse = PatternMeasure(map, extent);
    EXPECT_EQ(sparse.balance, -100); // share 0

    EXPECT_DOUBLE_EQ(PatternCurveScore(178, 0), 500);
    EXPECT_DOUBLE_EQ(PatternCurveScore(444, 400), 500);
    EXPECT_DOUBLE_EQ(PatternCurveScore(0, 0), 0);       // far below: clamped
    EXPECT_DOUBLE_EQ(PatternCurveScore(2000, 0), 1000); // far above: clamped
    // Half way between the points of index 12 and 13 at n = 208 (e = 12.48).
    const double f = 236 + (250 - 236) * 0.48, l = 209 + (219 - 209) * 0.48;
    EXPECT_NEAR(PatternCurveScore(f, 208), 500, 1e-9);
    EXPECT_NEAR(PatternCurveScore(l, 208), 375, 1e-9);
}

TEST(CleaningSteps, MaskPointsAndEdgeMeasure)
{
    const CanvasExtent extent{640, 640};
    CanvasBlockMap mask = Map(extent, 0, 0);
    EXPECT_EQ(MaskCentroid(mask, extent).x, 320);
    EXPECT_EQ(FallbackReferencePoint(mask, extent).y, 320);
    EXPECT_EQ(EdgeCutMeasure(mask, extent), 100);

    for (int r = 10; r < 30; ++r)
        for (int c = 15; c < 25; ++c)
            mask[r * 40 + c] = 1;
    const CanvasPoint centroid = MaskCentroid(mask, extent);
    EXPECT_EQ(centroid.x, (19 * 16 + 8) + 16); // mean column 19.5 x 16, plus one block
    EXPECT_EQ(centroid.y, 19 * 16 + 8);
    const CanvasPoint fallback = FallbackReferencePoint(mask, extent);
    EXPECT_EQ(fallback.x, 19 * 16 + 8);
    EXPECT_EQ(fallback.y, (10 + 13) * 16);
    EXPECT_EQ(EdgeCutMeasure(mask, extent), 0); // nothing touches the sides

    for (int r = 10; r < 30; ++r)
        for (int c = 2; c < 15; ++c)
            mask[r * 40 + c] = 1; // now cut off at the left
    EXPECT_EQ(EdgeCutMeasure(mask, extent), 100);
}

TEST(CleaningSteps, MaskGapsCloseAndIsolatedBlocksGo)
{
    const CanvasExtent extent{640, 640};
    CanvasBlockMap mask = Map(extent, 0, 0);
    for (int c = 5; c < 12; ++c)
        mask[10 * 40 + c] = c == 8 ? 0 : 1;
    FillMaskGaps(mask, extent);
    EXPECT_EQ(mask[10 * 40 + 8], 1);
    RemoveIsolatedBlocks(mask, extent); // a single row: nothing above or below
    for (int c = 5; c < 12; ++c)
        EXPECT_EQ(mask[10 * 40 + c], 0) << c;
}

TEST(CleaningSteps, ContrastAndWindowQuality)
{
    const CanvasExtent extent{640, 640};
    Canvas enhanced = Blank(128);
    for (int y = 0; y < 640; ++y)
        for (int x = 0; x < 320; ++x)
            enhanced[y * 640 + x] = (x / 4) % 2 ? 228 : 28; // contrast 100 on the left half
    CanvasBlockMap mask = Map(extent, 1, 0), contrast{};
    ContrastQuality(enhanced.data(), mask, contrast, extent);
    EXPECT_EQ(contrast[10 * 40 + 5], 100);
    EXPECT_EQ(contrast[10 * 40 + 30], 0);
    EXPECT_EQ(mask[10 * 40 + 5], 1);
    EXPECT_EQ(mask[10 * 40 + 30], 0); // low-contrast groups leave the print

    EXPECT_EQ(WindowQuality({160, 320}, mask, contrast, extent), 100);     // (100 - 62) x 65 / 28 + 35 = 123
    CanvasBlockMap flat = Map(extent, 62, 0);
    EXPECT_EQ(WindowQuality({320, 320}, Map(extent, 1, 0), flat, extent), 35);
    EXPECT_EQ(WindowQuality({320, 320}, Map(extent, 0, 0), flat, extent), 0); // no print blocks
}

} // namespace
} // namespace vela::engine
