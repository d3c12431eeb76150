#pragma once

#include <array>
#include <cstdint>

#include "engine/matching/MatchContext.h"

namespace vela::engine {

// What the pairing of two aligned impressions found.
struct PairingResult {
    int32_t commonCount = 0;     // minutiae of the area both impressions cover
    int32_t closeCount = 0;      // close pairs over all regions
    int32_t regionScoreSum = 0;
};

// The first impression moved onto the second: turned by the alignment's
// rotation about (76, 100), then shifted by its whole blocks. Its block map is
// the first map moved the same way; a minutia is kept, in order, inside the
// map on a directed block of that moved map.
Impression TransformImpression(const Impression& first, const Alignment& alignment);

// Cuts the transformed minutiae into up to four regions: upper and lower
// halves at the mean y, each then into left and right at its mean x, every cut
// made only when both sides keep more than the region minimum. Each region
// keeps its first 50 minutiae and their mean position. Returns the number of
// regions.
int32_t SplitRegions(const Impression& transformed, const PairingParameters& parameters,
                     std::array<MatchRegion, kMaxRegions>& regions);

// The 24 minutia directions whose circular difference from `direction` is at
// most `tolerance`, bit d for direction d: the partner search's direction
// test as one look-up.
uint32_t AcceptedDirections(int32_t direction, int32_t tolerance);

// Pairs a region's minutiae with the second impression's, moving the region
// by the mean offset of its matched pairs between passes; the region keeps
// the best pass's weighted score / 10 and its close-pair count.
void PairRegion(MatchRegion& region, const Impression& second, const PairingParameters& parameters,
                int32_t iterations);

// Transforms the first impression by the alignment, measures the common area
// and pairs region by region. Nothing is found when fewer than 5 minutiae
// survive the move or the common area holds fewer than 5. The transformed
// impression and the regions stay in the context; the context's pairing
// parameters steer the pairing.
PairingResult PairMinutiae(MatchContext& context, const Impression& first, const Impression& second,
                           const Alignment& alignment);

} // namespace vela::engine
