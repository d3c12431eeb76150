#include "engine/cleaning/EnhanceRidges.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

constexpr int32_t kSpreadTaps = 2 * kSpreadReach + 1;
constexpr int32_t kLanes = kCanvasBlockSide;  // the pixels of one row of a block

// The profiles of the 16 pixels from `at` on, bit by bit across the pixels.
// Reads 16 bytes at every profile offset, past a block cut short as well:
// callers keep `at` far enough inside the canvas.
void ProfilesOfRow(const uint8_t* binary, int32_t at, const CanvasLine& line, std::array<uint16_t, kLanes>& profiles)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi8(1);
    __m128i low = zero;
    __m128i high = zero;
    for (int32_t k = 0; k < 2 * kProfileReach + 1; ++k) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(binary + at + line.profile[k]));
        const __m128i set = _mm_andnot_si128(_mm_cmpeq_epi8(pixels, zero), one);
        const __m128i shift = _mm_cvtsi32_si128(k);
        low = _mm_or_si128(low, _mm_sll_epi16(_mm_unpacklo_epi8(set, zero), shift));
        high = _mm_or_si128(high, _mm_sll_epi16(_mm_unpackhi_epi8(set, zero), shift));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(profiles.data()), low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(profiles.data() + 8), high);
#else
    for (int32_t lane = 0; lane < kLanes; ++lane)
        profiles[lane] = ProfileAt(binary, at + lane, line);
#endif
}
// Each kernel's taps -8..8 as spread, those beyond its reach (its period, at
// most 8) zero, and one row of zeros for a pixel that spreads nothing.
using SpreadKernel = std::array<int16_t, kSpreadTaps>;
constexpr size_t kNoSpread = 16 * kKernelPhases;

std::array<SpreadKernel, kNoSpread + 1> MakeSpreadKernels()
{
    std::array<SpreadKernel, kNoSpread + 1> made{};
    const auto& kernels = RidgeKernels();
    for (int32_t period = kKernelFirstPeriod; period <= kKernelLastPeriod; ++period) {
        const int32_t reach = std::min(period, kSpreadReach);
        for (int32_t phase = 0; phase < kKernelPhases; ++phase) {
            const RidgeKernel& kernel = kernels[RidgeKernelIndex(period, phase)];
            SpreadKernel& into = made[RidgeKernelIndex(period, phase)];
            for (int32_t t = -reach; t <= reach; ++t)
                into[t + kSpreadReach] = kernel[t + kLineReach];
        }
    }
    return made;
}

const std::array<SpreadKernel, kNoSpread + 1>& SpreadKernels()
{
    static const std::array<SpreadKernel, kNoSpread + 1> kernels = MakeSpreadKernels();
    return kernels;
}

// What the pixels of one row of a block spread, tap by tap across the
// pixels: every pixel's tap t sits at the same offset from the pixel, so a
// tap is one run of additions over the row instead of a scattered addition
// per pixel. The sums are 16-bit and wrap, so their order does not matter.
struct RowSpread {
    alignas(16) std::array<std::array<int16_t, kLanes>, kSpreadTaps> across{};
    alignas(16) std::array<int16_t, kLanes> along{};
    alignas(16) std::array<int16_t, kLanes> reach{};
};

void AddRun(int16_t* into, const int16_t* values)
{
#if defined(__SSE2__)
    for (int32_t k = 0; k < kLanes; k += 8) {
        __m128i* at = reinterpret_cast<__m128i*>(into + k);
        const __m128i add = _mm_load_si128(reinterpret_cast<const __m128i*>(values + k));
        _mm_storeu_si128(at, _mm_add_epi16(_mm_loadu_si128(at), add));
    }
#else
    for (int32_t k = 0; k < kLanes; ++k)
        into[k] = static_cast<int16_t>(into[k] + values[k]);
#endif
}

// Adds the along value of each pixel within its reach of tap distance `distance`.
void AddAlongRun(int16_t* into, const RowSpread& spread, int32_t distance)
{
#if defined(__SSE2__)
    const __m128i below = _mm_set1_epi16(static_cast<int16_t>(distance - 1));
    for (int32_t k = 0; k < kLanes; k += 8) {
        __m128i* at = reinterpret_cast<__m128i*>(into + k);
        const __m128i reach = _mm_load_si128(reinterpret_cast<const __m128i*>(spread.reach.data() + k));
        const __m128i along = _mm_load_si128(reinterpret_cast<const __m128i*>(spread.along.data() + k));
        const __m128i add = _mm_and_si128(along, _mm_cmpgt_epi16(reach, below));
        _mm_storeu_si128(at, _mm_add_epi16(_mm_loadu_si128(at), add));
    }
#else
    for (int32_t k = 0; k < kLanes; ++k)
        if (spread.reach[k] >= distance)
            into[k] = static_cast<int16_t>(into[k] + spread.along[k]);
#endif
}

void SpreadRow(int16_t* accumulator, int32_t at, const RowSpread& spread, const CanvasLine& line)
{
    for (int32_t t = -kSpreadReach; t <= kSpreadReach; ++t) {
        AddRun(accumulator + at + line.across[t + kSpreadReach], spread.across[t + kSpreadReach].data());
        AddAlongRun(accumulator + at + line.along[t + kSpreadReach], spread, std::abs(t));
    }
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
    const auto& spreadKernels = SpreadKernels();
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
                // Pixels past the block's last column spread nothing.
                RowSpread spread;
                const int32_t first = row * kCanvasSide + columnFrom;
                std::array<uint16_t, kLanes> profiles;
                ProfilesOfRow(binary, first, line, profiles);
                for (int32_t lane = 0; lane < kLanes; ++lane) {
                    size_t kernel = kNoSpread;
                    if (lane <= columnTo - columnFrom) {
                        const int32_t at = first + lane;
                        const RidgePattern fit = patterns[profiles[lane]];
                        if (fit.period >= 4 && fit.period <= 18) {
                            periodSum += fit.period;
                            ++periodCount;
                            kernel = static_cast<size_t>(RidgeKernelIndex(fit.period, fit.phase));
                            spread.reach[lane] = static_cast<int16_t>(std::min<int32_t>(fit.period, kSpreadReach));
                            spread.along[lane] = static_cast<int16_t>(binary[at] != 0 ? kAlongWeight : -kAlongWeight);
                        }
                    }
                    const SpreadKernel& taps = spreadKernels[kernel];
                    for (int32_t t = 0; t < kSpreadTaps; ++t)
                        spread.across[t][lane] = taps[t];
                }
                SpreadRow(accumulator, first, spread, line);
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
