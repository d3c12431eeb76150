#include "engine/cleaning/ThresholdLine.h"

#include <cmath>

namespace vela::engine {
namespace {

constexpr int32_t kFitMargin = 9;
constexpr int32_t kBinaryMargin = 4;
constexpr double kAcceptedErrorGrowth = 1.05;
constexpr double kNoPixelsError = 1'000'000;
constexpr int32_t kTiltMargin = 32;
constexpr double kHalfAngleDegreesPerRadian = 28.64788975654116;

} // namespace

double ThresholdSums::Slope(double j) const
{
    if (static_cast<int64_t>(saa) == 0)
        return 1.0;
    return (sab - j * sa) / saa;
}

double ThresholdSums::Error(double j) const
{
    if (n == 0)
        return kNoPixelsError;
    const double s = Slope(j);
    return (sbb - 2 * s * sab - 2 * j * sb + n * j * j + s * s * saa + 2 * j * s * sa) / n;
}

ThresholdSums SumThresholdPixels(const uint8_t* meanOf3, const uint8_t* meanOf9, const CanvasBlockMap& mask,
                                 CanvasExtent extent)
{
    // Integer sums stay exact; they are the same numbers as sums of doubles.
    int64_t n = 0, sa = 0, sb = 0, saa = 0, sab = 0, sbb = 0;
    for (int32_t row = kFitMargin; row <= extent.height - kFitMargin; ++row)
        for (int32_t column = kFitMargin; column <= extent.width - kFitMargin; ++column) {
            if (!mask[BlockIndexOfPixel(row, column)])
                continue;
            const int64_t a = meanOf9[row * kCanvasSide + column];
            const int64_t b = meanOf3[row * kCanvasSide + column];
            ++n;
            sa += a;
            sb += b;
            saa += a * a;
            sab += a * b;
            sbb += b * b;
        }
    return ThresholdSums{static_cast<double>(n),   static_cast<double>(sa),  static_cast<double>(sb),
                         static_cast<double>(saa), static_cast<double>(sab), static_cast<double>(sbb)};
}

ThresholdLine FitThresholdLine(const ThresholdSums& sums, int32_t steps)
{
    const double accepted = kAcceptedErrorGrowth * sums.Error(0);
    int32_t k = 0;
    while (sums.Error(k) < accepted && k < steps)
        ++k;
    if (k - 1 >= 1)
        return ThresholdLine{sums.Slope(k - 1), static_cast<double>(k - 1)};
    return ThresholdLine{1.0, 0.0};
}

void BinariseByThresholdLine(const uint8_t* meanOf3, const uint8_t* meanOf9, const CanvasBlockMap& mask,
                             CanvasExtent extent, ThresholdLine line, uint8_t* binary)
{
    for (int32_t row = kBinaryMargin; row <= extent.height - kBinaryMargin - 1; ++row)
        for (int32_t column = kBinaryMargin; column <= extent.width - kBinaryMargin - 1; ++column) {
            const int32_t at = row * kCanvasSide + column;
            const bool ridge = mask[BlockIndexOfPixel(row, column)] &&
                               line.slope * meanOf9[at] + line.intercept > meanOf3[at];
            binary[at] = ridge ? 255 : 0;
        }
}

double EstimatePrintTilt(const uint8_t* binary, CanvasExtent extent)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int32_t row = kTiltMargin; row < extent.height - kTiltMargin; row += 2)
        for (int32_t column = kTiltMargin; column < extent.width - kTiltMargin; column += 2) {
            if (!binary[row * kCanvasSide + column])
                continue;
            n += 1;
            sx += column;
            sy += row;
            sxx += static_cast<double>(column) * column;
            syy += static_cast<double>(row) * row;
            sxy += static_cast<double>(column) * row;
        }
    if (n == 0)
        return 0;
    const double varX = sxx / n - (sx / n) * (sx / n);
    const double varY = syy / n - (sy / n) * (sy / n);
    const double cov = sxy / n - (sx / n) * (sy / n);
    double a;
    if (varX != varY)
        a = std::atan(2 * cov / (varX - varY)) * kHalfAngleDegreesPerRadian;
    else
        a = cov > 0 ? 45 : -45;
    if (varX > varY)
        a += 90;
    if (a > 90)
        a -= 180;
    if (a < -90)
        a += 180;
    return a;
}

} // namespace vela::engine
