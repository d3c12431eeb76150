#pragma once

#include <array>
#include <cstdint>

#include "engine/records/EngineGeometry.h"

namespace vela::engine {

// The order in which a DeltaCodedImpression visits the 450 blocks: an outward
// rectangular spiral from row 9, column 8 (down column 8 to row 16, up column 9
// to row 8, left along row 8 to column 7, down column 7 to row 17, ...) that
// ends at row 0, column 0. Neighbouring blocks mostly share a direction, so
// the spiral keeps the differences small and the bright centre of the print
// comes first, before any cut of the bit stream.

// Sequence position -> block index (row x 18 + column).
const std::array<uint16_t, kBlockCount>& BlockSpiralSequence();

// Block index -> sequence position: the BlockSpiralOrder table.
const std::array<uint16_t, kBlockCount>& BlockSpiralOrder();

} // namespace vela::engine
