#pragma once

#include <cstddef>
#include <cstdint>

namespace vela::engine {

// Orientation maps: 40 x 40 bytes, ridge orientation in degrees, 181 = none.
inline constexpr uint8_t kNoOrientation = 181;

// The sum of the orientation steps around a block's 8 neighbours: -180 at a
// core (a loop), +180 at a delta. Blocks off the used extent count as having
// no orientation; the caller skips blocks with an unoriented neighbour.
int32_t BlockPoincareIndex(const uint8_t* map, int32_t columns, int32_t rows, int32_t row, int32_t column);

// Looks for the core of the print in the used extent (columns x rows blocks)
// of an orientation map and gives it in canvas pixels. Returns 1 when found,
// else 0 (also for a map shorter than 40 x 40 bytes).
int32_t FindCorePoint(const uint8_t* map, size_t length, int32_t columns, int32_t rows, int32_t& x, int32_t& y);

} // namespace vela::engine
