#include "engine/cleaning/EnhanceRidges.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/cleaning/CanvasFilters.h"
#include "engine/cleaning/ContrastQuality.h"
#include "engine/cleaning/RidgeTables.h"
#include "engine/input/FindCorePoint.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {
namespace {

constexpr int32_t kProfileReach = 7;
constexpr int32_t kSpreadReach = 8;
constexpr int32_t kWindowMargin = 24;
constexpr int32_t kAlongWeight = 150;
constexpr int32_t kFewestPeriods = 10;
constexpr int32_t kWidePeriod = 859;

// Canvas offsets of the sampling and spreading points for one orientation.
struct CanvasLine {
    std::array<int32_t, 2 * kProfileReach + 1> profile; // across the ridge, -7..7
    std::array<int32_t, 2 * kSpreadReach + 1> across;   // across the ridge, -8..8
    std::array<int32_t, 2 * kSpreadReach + 1> along;    // along the ridge, -8..8
};

std::array<CanvasLine, 180> MakeCanvasLines()
{
    std::array<CanvasLine, 180> lines{};
    const auto& offsets = RidgeLineOffsets();
    for (int32_t o = 0; o < 180; ++o) {
        const RidgeLine& line = offsets[180 - o];
        for (int32_t t = -kSpreadReach; t <= kSpreadReach; ++t) {
            const LinePoint p = line[t + kLineReach];
            lines[o].across[t + kSpreadReach] = p.dy * kCanvasSide - p.dx;
            lines[o].along[t + kSpreadReach] = p.dx * kCanvasSide + p.dy;
            if (t >= -kProfileReach && t <= kProfileReach)
                lines[o].profile[t + kProfileReach] = lines[o].across[t + kSpreadReach];
        }
    }
    return lines;
}

const std::array<CanvasLine, 180>& CanvasLines()
{
    static const std::array<CanvasLine, 180> lines = MakeCanvasLines();
    return lines;
}

uint16_t ProfileAt(const uint8_t* binary, int32_t at, const CanvasLine& line)
{
    uint16_t pattern = 0;
    for (int32_t k = 0; k < 2 * kProfileReach + 1; ++k)
        pattern |= static_cast<uint16_t>((binary[at + line.profile[k]] != 0) << k);
    return pattern;
}

} // namespace

uint16_t SampleRidgePattern(const uint8_t* binary, int32_t at, uint8_t orientation)
{
    return ProfileAt(binary, at, CanvasLines()[orientation]);
}

int32_t EnhanceRidges(const uint8_t* binary, const CanvasBlockMap& orientation, const CanvasBlockMap& mask,
                      uint8_t* enhanced, int16_t* accumulator, CanvasExtent extent)
{
    const auto& lines = CanvasLines();
    const auto& patterns = RidgePatternTable();
    const auto& kernels = RidgeKernels();
    std::memset(enhanced, 0, kCanvasBytes);
    std::memset(accumulator, 0, kCanvasBytes * sizeof(int16_t));

    const int32_t firstRow = kWindowMargin, lastRow = extent.height - kWindowMargin - 1;
    const int32_t firstColumn = kWindowMargin, lastColumn = extent.width - kWindowMargin - 1;
    int64_t periodSum = 0;
    int32_t periodCount = 0;
    // Block by block, so that the orientation and mask are looked up once per
    // block and the pixel loop only samples, looks up and spreads.
    for (int32_t blockRow = 0; blockRow < kBlockMapSide; ++blockRow) {
        const int32_t rowFrom = std::max(firstRow, blockRow * kCanvasBlockSide);
        const int32_t rowTo = std::min(lastRow, blockRow * kCanvasBlockSide + kCanvasBlockSide - 1);
        for (int32_t blockColumn = 0; blockColumn < kBlockMapSide && rowFrom <= rowTo; ++blockColumn) {
            const int32_t block = blockRow * kBlockMapSide + blockColumn;
            if (orientation[block] == kNoOrientation || !mask[block])
                continue;
            const CanvasLine& line = lines[orientation[block]];
            const int32_t columnFrom = std::max(firstColumn, blockColumn * kCanvasBlockSide);
            const int32_t columnTo = std::min(lastColumn, blockColumn * kCanvasBlockSide + kCanvasBlockSide - 1);
            for (int32_t row = rowFrom; row <= rowTo; ++row) {
                for (int32_t column = columnFrom; column <= columnTo; ++column) {
                    const int32_t at = row * kCanvasSide + column;
                    const RidgePattern fit = patterns[ProfileAt(binary, at, line)];
                    if (fit.period < 4 || fit.period > 18)
                        continue;
                    periodSum += fit.period;
                    ++periodCount;
                    const int32_t reach = std::min<int32_t>(fit.period, kSpreadReach);
                    const RidgeKernel& kernel = kernels[RidgeKernelIndex(fit.period, fit.phase)];
                    const int16_t alongValue = static_cast<int16_t>(binary[at] != 0 ? kAlongWeight : -kAlongWeight);
                    int16_t* q = accumulator + at;
                    for (int32_t t = -reach; t <= reach; ++t) {
                        q[line.across[t + kSpreadReach]] += kernel[t + kLineReach];
                        q[line.along[t + kSpreadReach]] += alongValue;
                    }
                }
            }
        }
    }

    for (int32_t row = 0; row < extent.height; ++row)
        for (int32_t column = 0; column < extent.width; ++column) {
            const int32_t at = row * kCanvasSide + column;
            enhanced[at] = static_cast<uint8_t>(std::clamp(accumulator[at] / 32 + 128, 0, 255));
        }
    if (periodCount < kFewestPeriods)
        return 0;
    return RoundHalfAway(static_cast<double>(periodSum) / periodCount * 100);
}

int32_t EnhanceAndBinarise(uint8_t* source, uint8_t* output, uint8_t* scratch, int16_t* accumulator,
                           const CanvasBlockMap& orientation, const CanvasBlockMap& mask, CanvasBlockMap& contrast,
                           CanvasExtent extent)
{
    CanvasBlockMap pruned = mask;
    const int32_t period = EnhanceRidges(source, orientation, pruned, output, accumulator, extent);
    ContrastQuality(output, pruned, contrast, extent);
    FillBackgroundBlocks(output, pruned, 128);
    if (period > kWidePeriod)
        BoxMean(output, output, scratch, extent, 3);
    BoxMean(output, source, scratch, extent, 9);
    for (int32_t row = 0; row < extent.height; ++row)
        for (int32_t column = 0; column < extent.width; ++column) {
            const int32_t at = row * kCanvasSide + column;
            output[at] = source[at] + 1 < output[at] ? 255 : 0;
        }
    FillBackgroundBlocks(output, pruned, 0);
    FillCanvasFrame(output, extent, 32, 0);
    return period;
}

} // namespace vela::engine
