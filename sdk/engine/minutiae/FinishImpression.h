#pragma once

#include <cstddef>
#include <cstdint>

namespace vela::engine {

// Settles the quality of an impression from its minutiae and block map: 0 for
// three minutiae or fewer or for a crowded set, else capped by the share of
// holes inside the print and by the directed share of the central window.
void FinishImpressionRecord(uint8_t* record);

// Where an impression keeps the fields the quality is settled from, and the
// fewest minutiae that may keep a quality above 0.
struct ImpressionFields {
    size_t quality;
    size_t count;
    size_t blocks;
    size_t x;
    size_t y;
    int fewestMinutiae;
};
void FinishImpressionRecord(uint8_t* record, const ImpressionFields& fields);

} // namespace vela::engine
