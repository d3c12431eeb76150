#include "engine/matching/PaddedBlockMap.h"

#include <algorithm>
#include <array>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
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

uint8_t CodeBlockValue(uint8_t value)
{
    static const BlockValueCodes codes;
    return codes.code[value];
}

// One row of a map, coded.
void CodeRow(const uint8_t* row, uint8_t* out)
{
    for (int32_t column = 0; column < kBlockColumns; ++column)
        out[column] = CodeBlockValue(row[column]);
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
#if defined(__SSE2__)
uint32_t RunCost(const uint8_t* first, const uint8_t* second, int32_t length)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i steps = _mm_set1_epi8(static_cast<char>(kDirectionSteps));
    const __m128i allSet = _mm_set1_epi8(-1);
    // Byte lanes add up to eight steps of differences of at most 30 before
    // they are summed wide, so each 16-byte step costs no horizontal sum.
    constexpr int32_t kStepsPerLaneSum = 8;
    __m128i total = zero;
    __m128i pairs = zero;
    for (int32_t start = 0; start < length; start += kStepsPerLaneSum * kRunStep) {
        const int32_t end = std::min(length, start + kStepsPerLaneSum * kRunStep);
        __m128i laneTotal = zero;
        __m128i lanePairs = zero;
        for (int32_t i = start; i < end; i += kRunStep) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + i));
            const __m128i difference = _mm_sub_epi8(_mm_max_epu8(a, b), _mm_min_epu8(a, b));
            const __m128i circular = _mm_min_epu8(difference, _mm_sub_epi8(steps, difference));
            // The undirected code is the sign bit: all set where both sides have a direction.
            const __m128i directed = _mm_cmpgt_epi8(_mm_or_si128(a, b), allSet);
            laneTotal = _mm_add_epi8(laneTotal, _mm_and_si128(directed, circular));
            lanePairs = _mm_sub_epi8(lanePairs, directed);
        }
        total = _mm_add_epi64(total, _mm_sad_epu8(laneTotal, zero));
        pairs = _mm_add_epi64(pairs, _mm_sad_epu8(lanePairs, zero));
    }
    const auto sum = [](__m128i halves) {
        return static_cast<uint32_t>(_mm_cvtsi128_si32(halves) + _mm_cvtsi128_si32(_mm_srli_si128(halves, 8)));
    };
    return (sum(total) << 16) + sum(pairs);
}
#else
uint32_t RunCost(const uint8_t* first, const uint8_t* second, int32_t length)
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
#endif

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
        for (int32_t column = 0; column < kBlockColumns; ++column) {
            const uint8_t code = CodeBlockValue(map[row * kBlockColumns + column]);
            padded.full[FullIndex(row, column)] = code;
            padded.planes[static_cast<size_t>(2 * (row & 1) + (column & 1))][PlaneIndex(row, column)] = code;
        }
    }
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
}

bool PaddedDirectionCost(const PaddedBlockMap& first, const SecondBlockMap& second, int32_t columnShift,
                         int32_t rowShift, bool coarse, uint32_t& sum)
{
    if (rowShift < -kPaddedRowShift || rowShift > kPaddedRowShift || columnShift < -kPaddedColumnShift ||
        columnShift > kPaddedColumnShift)
        return false;
    if (!coarse) {
        // Second block (r, c) meets first block (r - rowShift, c - columnShift).
        const int32_t offset = (kPaddedRowShift - rowShift) * kPaddedWidth - columnShift + kPaddedColumnShift;
        sum = RunCost(first.full.data() + offset, second.full.data(), kFullRun);
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
    sum = RunCost(plane.data() + offset, second.even.data(), kEvenRun);
    return true;
}

} // namespace vela::engine
