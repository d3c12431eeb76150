#include "engine/cleaning/PatternMeasure.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/cleaning/RidgeTables.h"
#include "engine/input/FindCorePoint.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {
namespace {

constexpr int32_t kNoWrap = -1;

uint8_t At(const CanvasBlockMap& map, int32_t row, int32_t column) { return map[row * kBlockMapSide + column]; }

bool Oriented(uint8_t value) { return value != kNoOrientation; }

// The first column of the row where the orientation flips across a block.
// The block right of it must lie inside the map.
int32_t WrapColumn(const CanvasBlockMap& map, int32_t row, int32_t columns)
{
    for (int32_t c = 1; c + 1 < columns; ++c) {
        const uint8_t here = At(map, row, c), left = At(map, row, c - 1), right = At(map, row, c + 1);
        if (Oriented(here) && Oriented(left) && Oriented(right) && right <= 30 && left >= 150)
            return c;
    }
    return kNoWrap;
}

struct WrapPoint {
    int32_t row;
    int32_t column;
};

WrapPoint FindWrap(const CanvasBlockMap& map, CanvasExtent extent)
{
    const int32_t rows = extent.Rows(), cols = extent.Columns();
    for (int32_t r = 0; r <= rows - 2; ++r) {
        const int32_t column = WrapColumn(map, r, cols);
        if (column != kNoWrap && WrapColumn(map, r + 1, cols) == kNoWrap)
            return WrapPoint{r, column};
    }
    const int32_t column = rows >= 2 ? WrapColumn(map, rows - 2, cols) : kNoWrap;
    return WrapPoint{rows - 1, column != kNoWrap ? column : cols - 1};
}

} // namespace

double PatternCurveScore(double x, int32_t n)
{
    double f, l;
    if (n <= 0) {
        f = kPatternCurveUpper.front();
        l = kPatternCurveLower.front();
    } else if (n >= 400) {
        f = kPatternCurveUpper.back();
        l = kPatternCurveLower.back();
    } else {
        const double e = n * 24.0 / 400;
        const int32_t k = static_cast<int32_t>(std::floor(e));
        const double r = e - k;
        f = kPatternCurveUpper[k] + (kPatternCurveUpper[k + 1] - kPatternCurveUpper[k]) * r;
        l = kPatternCurveLower[k] + (kPatternCurveLower[k + 1] - kPatternCurveLower[k]) * r;
    }
    const double g = 2 * l - f;
    const double score = (x - f) * 500 / (f - g) * 0.5 + 500;
    return std::clamp(score, 0.0, 1000.0);
}

PatternResult PatternMeasure(const CanvasBlockMap& map, CanvasExtent extent)
{
    const int32_t rows = extent.Rows(), cols = extent.Columns();
    const WrapPoint wrap = FindWrap(map, extent);

    int32_t oriented = 0, leftOfWrap = 0;
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < cols; ++c)
            if (Oriented(At(map, r, c))) {
                ++oriented;
                leftOfWrap += c <= wrap.column;
            }
    const int32_t share = oriented < 10 ? 0 : RoundHalfAway(leftOfWrap * 100.0 / oriented);
    const int32_t balance = std::clamp(RoundHalfAway((share * 5 - 250) * 0.5), -100, 100);

    std::array<int32_t, 16> bins{};
    for (int32_t r = 0; r <= wrap.row; ++r)
        for (int32_t c = 0; c < cols; ++c) {
            const uint8_t value = At(map, r, c);
            if (!Oriented(value))
                continue;
            const int32_t k = value * 60 / 180;
            if (k < 16)
                ++bins[k];
            else if (k >= 45)
                ++bins[60 - k];
        }
    int32_t flat = 0, counted = 0;
    for (int32_t k = 0; k < 16; ++k) {
        counted += bins[k];
        flat += k <= 5 ? bins[k] : 0;
    }
    const double x = counted == 0 ? 512.0 : static_cast<double>(flat) / counted * 512;
    return PatternResult{RoundHalfAway(PatternCurveScore(x, oriented) * 0.1), balance};
}

} // namespace vela::engine
