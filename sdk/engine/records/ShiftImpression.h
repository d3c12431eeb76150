#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// Moves an impression by a block columns and b block rows. Blocks moved in
// from outside the 25 x 18 grid are 61; a minutia is kept, in order, only when
// it stays inside the map and lands on a block with a direction. The header
// fields are copied from the source; the caller sets those it needs.
Impression ShiftImpression(const Impression& source, int32_t a, int32_t b);

// The same on records; false, writing nothing, when either buffer is shorter
// than a record. Source and destination may be the same buffer.
bool ShiftImpression(const uint8_t* source, size_t sourceLength, uint8_t* destination,
                     size_t destinationLength, int32_t a, int32_t b);

} // namespace vela::engine
