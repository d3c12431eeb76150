#include "engine/cleaning/ThresholdLine.h"

#include <algorithm>
#include <array>
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
    // A row's sums fit 32 bits (640 products of at most 255 x 255) and are
    // taken a block at a time, the mask looked at once per block.
    int64_t n = 0, sa = 0, sb = 0, saa = 0, sab = 0, sbb = 0;
    const int32_t lastColumn = extent.width - kFitMargin;
    for (int32_t row = kFitMargin; row <= extent.height - kFitMargin; ++row) {
        int32_t rowA = 0, rowB = 0, rowAA = 0, rowAB = 0, rowBB = 0;
        for (int32_t from = kFitMargin; from <= lastColumn;) {
            const int32_t to = std::min(lastColumn, from / kCanvasBlockSide * kCanvasBlockSide + kCanvasBlockSide - 1);
            if (mask[BlockIndexOfPixel(row, from)]) {
                n += to - from + 1;
                const uint8_t* as = meanOf9 + row * kCanvasSide;
                const uint8_t* bs = meanOf3 + row * kCanvasSide;
                for (int32_t column = from; column <= to; ++column) {
                    const int32_t a = as[column];
                    const int32_t b = bs[column];
                    rowA += a;
                    rowB += b;
                    rowAA += a * a;
                    rowAB += a * b;
                    rowBB += b * b;
                }
            }
            from = to + 1;
        }
        sa += rowA;
        sb += rowB;
        saa += rowAA;
        sab += rowAB;
        sbb += rowBB;
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
    // The test slope * a + intercept > b, for the 256 values of a, as the
    // least b it fails for: the same doubles compared, looked up per pixel.
    // The test holds for every b below that and for none from it on.
    std::array<int32_t, 256> fails{};
    for (int32_t a = 0; a < 256; ++a) {
        const auto holds = [&](int32_t b) {
            return line.slope * static_cast<uint8_t>(a) + line.intercept > static_cast<uint8_t>(b);
        };
        int32_t low = 0, high = 256;  // holds below low, fails from high
        while (low < high) {
            const int32_t middle = (low + high) / 2;
            if (holds(middle))
                low = middle + 1;
            else
                high = middle;
        }
        fails[a] = low;
    }
    for (int32_t row = kBinaryMargin; row <= extent.height - kBinaryMargin - 1; ++row)
        for (int32_t column = kBinaryMargin; column <= extent.width - kBinaryMargin - 1; ++column) {
            const int32_t at = row * kCanvasSide + column;
            const bool ridge = mask[BlockIndexOfPixel(row, column)] && meanOf3[at] < fails[meanOf9[at]];
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
