#include "engine/matching/PaddedBlockMap.h"

#include <algorithm>
#include <array>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace vela::engine {

namespace {

// The coded form of every byte a block map can hold.
struct BlockValueCodes {
    std::array<uint8_t, 256> code{};

    BlockValueCodes()
    {
        for (int32_t value = 0; value < 256; ++value)
            code[value] = value >= kNoDirection ? kUndirectedCode : static_cast<uint8_t>(value % kDirectionSteps);
    }
};

const BlockValueCodes& Codes()
{
    static const BlockValueCodes codes;
    return codes;
}

// One row of a map, coded.
void CodeRow(const uint8_t* row, uint8_t* out)
{
    const BlockValueCodes& codes = Codes();
    for (int32_t column = 0; column < kBlockColumns; ++column)
        out[column] = codes.code[row[column]];
}

// Index of block (row, column) of the first map in the full layout, and of a
// block of the plane its parities choose.
size_t FullIndex(int32_t row, int32_t column)
{
    return static_cast<size_t>((row + kPaddedRowShift) * kPaddedWidth + column + kPaddedColumnShift);
}

size_t PlaneIndex(int32_t row, int32_t column)
{
    return static_cast<size_t>((row / 2 + kPlaneRowShift) * kPlaneWidth + column / 2 + kPlaneColumnShift);
}

// The circular difference of two coded directions summed with the number of
// pairs where both are directed, packed as the direction-cost table packs
// them (the totals fit 16 bits: at most 450 pairs of at most 30). The length
// is a whole number of steps.
uint32_t PortableRunCost(const uint8_t* first, const uint8_t* second, int32_t length)
{
    uint32_t total = 0;
    uint32_t pairs = 0;
    for (int32_t i = 0; i < length; ++i) {
        const uint8_t a = first[i];
        const uint8_t b = second[i];
        if (((a | b) & kUndirectedCode) != 0)
            continue;
        const int32_t difference = std::max(a, b) - std::min(a, b);
        total += static_cast<uint32_t>(std::min(difference, kDirectionSteps - difference));
        ++pairs;
    }
    return (total << 16) + pairs;
}

// Byte lanes add up to eight steps of differences of at most 30 before they
// are summed wide, so a step costs no horizontal sum.
constexpr int32_t kStepsPerLaneSum = 8;

#if defined(__SSE2__)
struct LaneSums {
    __m128i total = _mm_setzero_si128();
    __m128i pairs = _mm_setzero_si128();
};

// The difference and pair lanes of one 16-byte step.
inline void AddStep(const uint8_t* first, const uint8_t* second, __m128i& laneTotal, __m128i& lanePairs)
{
    const __m128i steps = _mm_set1_epi8(static_cast<char>(kDirectionSteps));
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second));
    const __m128i difference = _mm_sub_epi8(_mm_max_epu8(a, b), _mm_min_epu8(a, b));
    const __m128i circular = _mm_min_epu8(difference, _mm_sub_epi8(steps, difference));
    // The undirected code is the sign bit: all set where both sides have a direction.
    const __m128i directed = _mm_cmpgt_epi8(_mm_or_si128(a, b), _mm_set1_epi8(-1));
    laneTotal = _mm_add_epi8(laneTotal, _mm_and_si128(directed, circular));
    lanePairs = _mm_sub_epi8(lanePairs, directed);
}

inline void WidenLanes(LaneSums& sums, __m128i laneTotal, __m128i lanePairs)
{
    const __m128i zero = _mm_setzero_si128();
    sums.total = _mm_add_epi64(sums.total, _mm_sad_epu8(laneTotal, zero));
    sums.pairs = _mm_add_epi64(sums.pairs, _mm_sad_epu8(lanePairs, zero));
}

inline uint32_t PackLaneSums(const LaneSums& sums)
{
    const auto sum = [](__m128i halves) {
        return static_cast<uint32_t>(_mm_cvtsi128_si32(halves) + _mm_cvtsi128_si32(_mm_srli_si128(halves, 8)));
    };
    return (sum(sums.total) << 16) + sum(sums.pairs);
}

uint32_t NarrowRunCost(const uint8_t* first, const uint8_t* second, int32_t length)
{
    LaneSums sums;
    for (int32_t start = 0; start < length; start += kStepsPerLaneSum * kRunStep) {
        const int32_t end = std::min(length, start + kStepsPerLaneSum * kRunStep);
        __m128i laneTotal = _mm_setzero_si128();
        __m128i lanePairs = _mm_setzero_si128();
        for (int32_t i = start; i < end; i += kRunStep)
            AddStep(first + i, second + i, laneTotal, lanePairs);
        WidenLanes(sums, laneTotal, lanePairs);
    }
    return PackLaneSums(sums);
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define VELA_WIDE_RUN_COST 1
// The same sums two steps at a time in 32-byte registers, for processors
// that have them; a run of an odd number of steps ends with one narrow step.
__attribute__((target("avx2"))) uint32_t WideRunCost(const uint8_t* first, const uint8_t* second, int32_t length)
{
    constexpr int32_t kWideStep = 2 * kRunStep;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i steps = _mm256_set1_epi8(static_cast<char>(kDirectionSteps));
    const __m256i allSet = _mm256_set1_epi8(-1);
    __m256i total = zero;
    __m256i pairs = zero;
    const int32_t wideLength = length / kWideStep * kWideStep;
    for (int32_t start = 0; start < wideLength; start += kStepsPerLaneSum * kWideStep) {
        const int32_t end = std::min(wideLength, start + kStepsPerLaneSum * kWideStep);
        __m256i laneTotal = zero;
        __m256i lanePairs = zero;
        for (int32_t i = start; i < end; i += kWideStep) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first + i));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(second + i));
            const __m256i difference = _mm256_sub_epi8(_mm256_max_epu8(a, b), _mm256_min_epu8(a, b));
            const __m256i circular = _mm256_min_epu8(difference, _mm256_sub_epi8(steps, difference));
            const __m256i directed = _mm256_cmpgt_epi8(_mm256_or_si256(a, b), allSet);
            laneTotal = _mm256_add_epi8(laneTotal, _mm256_and_si256(directed, circular));
            lanePairs = _mm256_sub_epi8(lanePairs, directed);
        }
        total = _mm256_add_epi64(total, _mm256_sad_epu8(laneTotal, zero));
        pairs = _mm256_add_epi64(pairs, _mm256_sad_epu8(lanePairs, zero));
    }
    LaneSums sums;
    sums.total = _mm_add_epi64(_mm256_castsi256_si128(total), _mm256_extracti128_si256(total, 1));
    sums.pairs = _mm_add_epi64(_mm256_castsi256_si128(pairs), _mm256_extracti128_si256(pairs, 1));
    if (wideLength < length) {
        __m128i laneTotal = _mm_setzero_si128();
        __m128i lanePairs = _mm_setzero_si128();
        AddStep(first + wideLength, second + wideLength, laneTotal, lanePairs);
        WidenLanes(sums, laneTotal, lanePairs);
    }
    return PackLaneSums(sums);
}

bool HasWideRegisters()
{
    // The processor is asked once; the call to __builtin_cpu_init makes the
    // answer sound even before the library's constructors have run.
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}
#endif

uint32_t RunCost(const uint8_t* first, const uint8_t* second, int32_t length)
{
#if defined(VELA_WIDE_RUN_COST)
    if (HasWideRegisters())
        return WideRunCost(first, second, length);
#endif
#if defined(__SSE2__)
    return NarrowRunCost(first, second, length);
#else
    return PortableRunCost(first, second, length);
#endif
}

// The rows of a map that hold a directed block.
DirectedRows FindDirectedRows(const BlockMap& map)
{
    DirectedRows rows;
    for (int32_t row = 0; row < kBlockRows; ++row) {
        const uint8_t* values = map.data() + row * kBlockColumns;
        if (std::any_of(values, values + kBlockColumns, [](uint8_t value) { return value < kNoDirection; })) {
            rows.first = std::min(rows.first, row);
            rows.last = row;
        }
    }
    return rows;
}

// The part of a run outside [begin, end) pairs an undirected block on at
// least one side and adds nothing; the bounds are whole steps from the run's
// start, within it.
struct RunPart {
    int32_t begin = 0;
    int32_t end = 0;
};

RunPart PartOfRun(int32_t firstByte, int32_t lastByte, int32_t runLength)
{
    if (lastByte < firstByte)
        return RunPart{};
    return RunPart{firstByte / kRunStep * kRunStep, std::min(runLength, RoundUpToRunStep(lastByte + 1))};
}

} // namespace

PaddedBlockMap::PaddedBlockMap()
{
    full.fill(kUndirectedCode);
    for (auto& plane : planes)
        plane.fill(kUndirectedCode);
}

PaddedBlockMap PadBlockMap(const BlockMap& map)
{
    PaddedBlockMap padded;
    for (int32_t row = 0; row < kBlockRows; ++row) {
        uint8_t* coded = padded.full.data() + FullIndex(row, 0);
        CodeRow(map.data() + row * kBlockColumns, coded);
        uint8_t* even = padded.planes[static_cast<size_t>(2 * (row & 1))].data() + PlaneIndex(row, 0);
        uint8_t* odd = padded.planes[static_cast<size_t>(2 * (row & 1) + 1)].data() + PlaneIndex(row, 1);
        static_assert(kBlockColumns % 2 == 0, "a row splits into whole pairs of columns");
        for (int32_t column = 0; column < kBlockColumns; column += 2) {
            even[column / 2] = coded[column];
            odd[column / 2] = coded[column + 1];
        }
    }
    padded.directed = FindDirectedRows(map);
    return padded;
}

SecondBlockMap::SecondBlockMap(const BlockMap& map)
{
    full.fill(kUndirectedCode);
    even.fill(kUndirectedCode);
    for (int32_t row = 0; row < kBlockRows; ++row)
        CodeRow(map.data() + row * kBlockColumns, full.data() + row * kPaddedWidth);
    for (int32_t row = 0; row < kBlockRows; row += 2) {
        const uint8_t* coded = full.data() + row * kPaddedWidth;
        for (int32_t column = 0; column < kBlockColumns; column += 2)
            even[static_cast<size_t>(row / 2 * kPlaneWidth + column / 2)] = coded[column];
    }
    directed = FindDirectedRows(map);
}

bool PaddedDirectionCost(const PaddedBlockMap& first, const SecondBlockMap& second, int32_t columnShift,
                         int32_t rowShift, bool coarse, uint32_t& sum)
{
    if (rowShift < -kPaddedRowShift || rowShift > kPaddedRowShift || columnShift < -kPaddedColumnShift ||
        columnShift > kPaddedColumnShift)
        return false;
    // Only the second map's rows that are directed and meet a directed row of
    // the first map can add to the sum. A block shifted past the side of its
    // row meets the padding around the map, never a neighbouring row's block.
    const int32_t topRow = std::max(second.directed.first, first.directed.first + rowShift);
    const int32_t bottomRow = std::min(second.directed.last, first.directed.last + rowShift);
    if (!coarse) {
        // Second block (r, c) meets first block (r - rowShift, c - columnShift).
        const int32_t offset = (kPaddedRowShift - rowShift) * kPaddedWidth - columnShift + kPaddedColumnShift;
        const RunPart part =
            PartOfRun(topRow * kPaddedWidth, bottomRow * kPaddedWidth + kBlockColumns - 1, kFullRun);
        sum = RunCost(first.full.data() + offset + part.begin, second.full.data() + part.begin,
                      part.end - part.begin);
        return true;
    }
    // Second block (2a, 2b) meets first block (2a - rowShift, 2b - columnShift),
    // which lies in the plane of the shifts' parities at (a - rowStep, b - columnStep).
    const int32_t rowParity = rowShift & 1;
    const int32_t columnParity = columnShift & 1;
    const int32_t rowStep = (rowShift + rowParity) / 2;
    const int32_t columnStep = (columnShift + columnParity) / 2;
    const int32_t offset = (kPlaneRowShift - rowStep) * kPlaneWidth - columnStep + kPlaneColumnShift;
    const auto& plane = first.planes[static_cast<size_t>(2 * rowParity + columnParity)];
    // Even rows 2a of the second map from topRow to bottomRow.
    const int32_t topEven = (topRow + 1) / 2;
    const int32_t bottomEven = bottomRow < 0 ? -1 : bottomRow / 2;
    const RunPart part =
        PartOfRun(topEven * kPlaneWidth, bottomEven * kPlaneWidth + kPlaneColumns - 1, kEvenRun);
    sum = RunCost(plane.data() + offset + part.begin, second.even.data() + part.begin, part.end - part.begin);
    return true;
}

uint32_t SumDirectionRun(const uint8_t* first, const uint8_t* second, int32_t length, RunKernel kernel)
{
    switch (kernel) {
    case RunKernel::Portable:
        return PortableRunCost(first, second, length);
    case RunKernel::Narrow:
#if defined(__SSE2__)
        return NarrowRunCost(first, second, length);
#else
        break;
#endif
    case RunKernel::Wide:
#if defined(VELA_WIDE_RUN_COST)
        if (HasWideRegisters())
            return WideRunCost(first, second, length);
#endif
        break;
    }
    return RunCost(first, second, length);
}

bool RunKernelAvailable(RunKernel kernel)
{
    switch (kernel) {
    case RunKernel::Portable:
        return true;
    case RunKernel::Narrow:
#if defined(__SSE2__)
        return true;
#else
        return false;
#endif
    case RunKernel::Wide:
#if defined(VELA_WIDE_RUN_COST)
        return HasWideRegisters();
#else
        return false;
#endif
    }
    return false;
}

} // namespace vela::engine
