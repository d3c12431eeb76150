#pragma once

#include <array>
#include <cstdint>

#include "engine/records/EngineGeometry.h"

namespace vela::engine {

// An impression's 450 block directions, 18 a row.
using BlockMap = std::array<uint8_t, kBlockCount>;

// The block at (row, column), or 61 outside the grid.
inline uint8_t BlockValueAt(const BlockMap& map, int32_t row, int32_t column)
{
    if (row < 0 || row >= kBlockRows || column < 0 || column >= kBlockColumns)
        return kNoDirection;
    return map[row * kBlockColumns + column];
}

// The block under a minutia position in half pixels, or 61 off the map.
inline uint8_t BlockUnderMinutia(const BlockMap& map, int32_t x, int32_t y)
{
    if (x < 0 || x >= kMinutiaMaxX || y < 0 || y >= kMinutiaMaxY)
        return kNoDirection;
    return map[(y / kMinutiaUnitsPerBlock) * kBlockColumns + x / kMinutiaUnitsPerBlock];
}

inline bool IsDirected(uint8_t blockValue)
{
    return blockValue != kNoDirection;
}

} // namespace vela::engine
