#include "engine/matching/PaddedBlockMap.h"

#include <algorithm>
#include <cstddef>

namespace vela::engine {

namespace {

uint8_t CodeBlockValue(uint8_t value)
{
    return value >= kNoDirection ? kUndirectedCode : static_cast<uint8_t>(value % kDirectionSteps);
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
// them. Written as plain byte arithmetic so that the compiler vectorises it;
// the totals fit 16 bits (at most 450 pairs of at most 30).
uint32_t RunCost(const uint8_t* first, const uint8_t* second, int32_t length)
{
    uint16_t total = 0;
    uint16_t pairs = 0;
    for (int32_t i = 0; i < length; ++i) {
        const uint8_t a = first[i];
        const uint8_t b = second[i];
        const uint8_t difference = static_cast<uint8_t>(std::max(a, b) - std::min(a, b));
        const uint8_t other = static_cast<uint8_t>(kDirectionSteps - difference);
        const uint8_t circular = difference < other ? difference : other;
        const uint8_t directed = ((a | b) & kUndirectedCode) != 0 ? 0 : 0xFF;
        total = static_cast<uint16_t>(total + (circular & directed));
        pairs = static_cast<uint16_t>(pairs + (directed & 1));
    }
    return (static_cast<uint32_t>(total) << 16) + pairs;
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
    for (int32_t row = 0; row < kBlockRows; ++row) {
        for (int32_t column = 0; column < kBlockColumns; ++column) {
            const uint8_t code = CodeBlockValue(map[row * kBlockColumns + column]);
            full[static_cast<size_t>(row * kPaddedWidth + column)] = code;
            if (row % 2 == 0 && column % 2 == 0)
                even[static_cast<size_t>(row / 2 * kPlaneWidth + column / 2)] = code;
        }
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
        const int32_t length = (kBlockRows - 1) * kPaddedWidth + kBlockColumns;
        sum = RunCost(first.full.data() + offset, second.full.data(), length);
        return true;
    }
    // Second block (2a, 2b) meets first block (2a - rowShift, 2b - columnShift),
    // which lies in the plane of the shifts' parities at (a - rowStep, b - columnStep).
    const int32_t rowParity = rowShift & 1;
    const int32_t columnParity = columnShift & 1;
    const int32_t rowStep = (rowShift + rowParity) / 2;
    const int32_t columnStep = (columnShift + columnParity) / 2;
    const int32_t offset = (kPlaneRowShift - rowStep) * kPlaneWidth - columnStep + kPlaneColumnShift;
    const int32_t length = ((kBlockRows + 1) / 2 - 1) * kPlaneWidth + kPlaneColumns;
    const auto& plane = first.planes[static_cast<size_t>(2 * rowParity + columnParity)];
    sum = RunCost(plane.data() + offset, second.even.data(), length);
    return true;
}

} // namespace vela::engine
