#pragma once

#include <cstdint>

namespace vela::engine {

// Settles the quality of an impression from its minutiae and block map: 0 for
// three minutiae or fewer or for a crowded set, else capped by the share of
// holes inside the print and by the directed share of the central window.
void FinishImpressionRecord(uint8_t* record);

} // namespace vela::engine
