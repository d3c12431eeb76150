#pragma once

#include <cstdint>

#include "engine/minutiae/Candidates.h"

namespace vela::engine {

inline constexpr uint8_t kSetPixel = 255;

// Storage of the ridge walks: recorded pixels, and where each walk ends.
struct WalkRecord {
    int32_t* pixels;
    int capacity;
    int32_t* walkEnds; // one per ending
};

// Removes spurs of 6 pixels or fewer from a thinned image: cuts every ridge
// at its branching points, walks from each ending (branching neighbours
// included) clearing the ridge, restores the cut points and every walk longer
// than 6 pixels, then trims ridge ends by SpurTrim (codes as before the trim,
// kept in `before`). `endings` and `branchings` come from
// FindMinutiaCandidates; `endings` grows by the neighbours.
void RemoveShortSpurs(uint8_t* image, uint8_t* before, OffsetList& endings, const OffsetList& branchings,
                      const WalkRecord& walks);

} // namespace vela::engine
