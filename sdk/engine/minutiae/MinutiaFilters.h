#pragma once

#include <cstdint>
#include <optional>

#include "engine/minutiae/MinutiaList.h"

namespace vela::engine {

// Drops minutiae right of column 265, then every pair of endings that face
// each other (each the other's nearest partner), and compacts the list.
void RemoveFacingPairs(MinutiaList& minutiae);
// 1000 when i and j cannot be partners, else the lower the likelier.
int PairCost(const MinutiaList& minutiae, int i, int j);
std::optional<int> NearestPartner(const MinutiaList& minutiae, int i);

// Drops every minutia that has another one within a radius that depends on
// its distance to the edge and on how far the two directions differ. All
// pairs are judged on the list as it came in; the list is then compacted.
void RemoveCrowdedMinutiae(MinutiaList& minutiae);

// Drops minutiae near the background (any of 9 points 10 pixels around in a
// block without direction), keeps those nearest the centre when more than 70
// remain, and writes the first 70 into the record (half pixels) with the count.
void LimitMinutiae(MinutiaList& minutiae, uint8_t* record);

// Whether any of the 9 points 10 pixels around (x, y) lies off the block grid
// or in a block without direction.
bool NearBackground(int x, int y, const uint8_t* blocks);

} // namespace vela::engine
