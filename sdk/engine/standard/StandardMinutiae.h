#pragma once

#include <cstdint>

#include "engine/minutiae/Candidates.h"
#include "engine/standard/StandardImpression.h"

namespace vela::engine {

// Finds the typed minutiae of the clean ridge image in W0: ridge bifurcations
// on the ridge skeleton and ridge endings as bifurcations of the valley
// skeleton, filtered, at most `capacity.capacity` of them written into the
// impression (which holds the block map and quality), and settles the
// impression's quality.
void FindStandardMinutiae(StandardWorkArea& area, uint8_t* impression, StandardCapacity capacity);

// floor(atan2(dy, dx) x 128 / pi + 0.5) with the angle in [0, 2 pi), rows
// growing downward, a full turn stored as 0. dx, dy in -10..10.
uint8_t FineVectorDirection(int dx, int dy);
// The mean of the two closest of three directions of 256 steps.
uint8_t FinePairMean(uint8_t a, uint8_t b, uint8_t c);
uint8_t FineCircularMean(uint8_t u, uint8_t v);

// Adds a minutia for every pixel of the thinned image whose neighbours form a
// clean three-way split, when its first three branches run far enough; the
// direction is the mean of the two closest branches. `points` lists them.
void TraceBranchings(uint8_t* image, OffsetList& points, StandardMinutiaList& list);

} // namespace vela::engine
