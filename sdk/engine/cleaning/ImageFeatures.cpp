#include "engine/cleaning/ImageFeatures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "engine/cleaning/RidgeTables.h"
#include "engine/input/ConvertInputImage.h"
#include "engine/input/GreyCanvas.h"
#include "engine/input/ResampleToWorkImage.h"
#include "engine/input/ScannerParameters.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {
namespace {

constexpr int32_t kConversionFailed = -4;
constexpr int32_t kNoMatch = -15;
constexpr int32_t kSampleReach = 12;
constexpr int32_t kProfileReach = 7;
constexpr int32_t kFlatDeviation = 3;
constexpr int32_t kAcceptedCorrelation = 15;
constexpr double kInverse432Squared = 5.358367626886145e-6; // 1 / 432^2
constexpr double kPointsAt432 = 86400;

struct GridTotals {
    std::array<int32_t, 256> all{};
    std::array<int32_t, 256> accepted{};
    int32_t visited = 0;
    int32_t n = 0;
    double correlationSum = 0, deviationSum = 0, columnSum = 0, rowSum = 0;
};

// A factor that rises linearly from `low` at `from` to 1 at `to`.
double Ramp(int32_t r, int32_t from, int32_t to, double below, double slope, double offset)
{
    if (r <= from)
        return below;
    if (r >= to)
        return 1.0;
    return ((r - from) * slope + offset) * 0.01;
}

double CentringFactor(double mean, int32_t cells)
{
    const int32_t m = cells / 2;
    if (m == 0)
        return 0;
    const int32_t r = RoundHalfAway((1 - std::abs(mean - m) / m) * 100);
    return Ramp(r, 8, 70, 0, 1.6129032258064515, 0);
}

} // namespace

RidgeMatch MatchRidgePattern(const uint8_t* canvas, int32_t row, int32_t column, int32_t angle)
{
    const RidgeLine& line = RidgeLineOffsets()[angle];
    std::array<int32_t, 2 * kSampleReach + 1> samples{};
    int32_t sum = 0;
    for (int32_t t = -kSampleReach; t <= kSampleReach; ++t) {
        const LinePoint p = line[t + kLineReach];
        samples[t + kSampleReach] = canvas[(row + p.dy) * kCanvasSide + column - p.dx];
        sum += samples[t + kSampleReach];
    }
    const int32_t mean = RoundHalfAway(sum * 0.04);
    int32_t spread = 0;
    for (int32_t v : samples)
        spread += std::abs(v - mean);
    RidgeMatch match{kNoMatch, spread / 25};
    if (match.deviation < kFlatDeviation)
        return match;

    const double exactMean = sum * 0.04;
    std::array<int32_t, 2 * kSampleReach + 1> sign{};
    uint16_t pattern = 0;
    for (int32_t t = -kSampleReach; t <= kSampleReach; ++t) {
        sign[t + kSampleReach] = samples[t + kSampleReach] < exactMean ? 1 : -1;
        if (t >= -kProfileReach && t <= kProfileReach && sign[t + kSampleReach] > 0)
            pattern |= static_cast<uint16_t>(1 << (t + kProfileReach));
    }
    const RidgePattern fit = RidgePatternTable()[pattern];
    if (fit.period < 5 || fit.period > 18)
        return match;
    const RidgeKernel& kernel = RidgeKernels()[RidgeKernelIndex(fit.period, fit.phase)];
    int32_t correlation = 0;
    for (int32_t t = -kSampleReach; t <= kSampleReach; ++t)
        correlation += (kernel[t + kLineReach] > 0 ? 1 : -1) * sign[t + kSampleReach];
    match.correlation = correlation;
    return match;
}

RidgeMatch BestRidgePattern(const uint8_t* canvas, int32_t row, int32_t column)
{
    RidgeMatch best = MatchRidgePattern(canvas, row, column, 0);
    for (int32_t angle : {45, 90, 135}) {
        const RidgeMatch match = MatchRidgePattern(canvas, row, column, angle);
        if (match.correlation > best.correlation)
            best = match;
    }
    return best;
}

int32_t ComputeImageFeatures(std::span<const uint8_t> bmp, int32_t step, std::span<uint8_t> work, int32_t scannerId,
                             int32_t dataId)
{
    if (work.size() < 2 * kCanvasBytes)
        return kConversionFailed;
    uint8_t* second = work.data();
    uint8_t* grey = work.data() + kCanvasBytes;
    ScannerParameters scanner;
    int32_t width = 0, height = 0, background = 0;
    ContentRect bounds;
    if (ConvertInputImage(bmp.data(), bmp.size(), grey, kCanvasBytes, scanner, width, height, bounds) !=
            result::Success ||
        GetScannerParameters(scannerId, dataId, scanner) != result::Success ||
        ResampleToWorkImage(grey, kCanvasBytes, second, kCanvasBytes, scanner, background, width, height, bounds) !=
            result::Success)
        return kConversionFailed;

    step = std::clamp(step, 2, 30);
    const int32_t margin = 12 / step + 1;
    const int32_t cellsX = width / step, cellsY = height / step;
    const int32_t target = (scanner.targetDpiX + scanner.targetDpiY) / 2;
    const double expected = static_cast<double>(target) * target * kInverse432Squared * kPointsAt432 / (step * step);

    GridTotals grid;
    for (int32_t r = margin; r <= cellsY - margin; ++r)
        for (int32_t k = margin; k <= cellsX - margin; ++k) {
            const RidgeMatch match = BestRidgePattern(grey, r * step, k * step);
            ++grid.visited;
            ++grid.all[match.deviation];
            if (match.correlation < kAcceptedCorrelation)
                continue;
            ++grid.n;
            ++grid.accepted[match.deviation];
            grid.correlationSum += match.correlation;
            grid.deviationSum += match.deviation;
            grid.columnSum += k;
            grid.rowSum += r;
        }

    const int32_t n = grid.n;
    int32_t j1 = 0;
    for (int32_t reached = 0; j1 < 255; ++j1) {
        reached += grid.accepted[j1];
        if (reached >= 0.1 * n)
            break;
    }
    int32_t covered = 0;
    for (int32_t d = j1; d < 256; ++d)
        covered += grid.all[d];
    covered = std::max(covered, n);
    int32_t j2 = 255;
    for (int32_t reached = 0; j2 > 0; --j2) {
        reached += grid.accepted[j2];
        if (reached >= 0.2 * n)
            break;
    }

    double quality = 0;
    if (n > expected / 8)
        quality = std::clamp(static_cast<double>(n) / covered * (grid.correlationSum / n * 0.04) * 110, 0.0, 100.0);
    if (n < 1)
        return 0;
    const double meanDeviation = grid.deviationSum / n;
    const double spread = j2 < 1 ? 0.1 : Ramp(RoundHalfAway(meanDeviation / j2 * 100), 30, 65, 0.1, 2.571428571428571, 10);
    const double contrast = Ramp(RoundHalfAway(meanDeviation), 3, 20, 0.1, 5.294117647058823, 10);
    const int32_t areaShare = grid.visited == 0 ? 0 : RoundHalfAway(covered / expected * 100);
    const double area = Ramp(areaShare, 8, 45, 0, 2.7027027027027026, 0);
    const double horizontal = CentringFactor(grid.columnSum / n, cellsX);
    const double vertical = CentringFactor(grid.rowSum / n, cellsY);
    return RoundHalfAway(quality * spread * contrast * area * horizontal * vertical);
}

} // namespace vela::engine
