#pragma once

#include <cstdint>

#include "engine/matching/MatchContext.h"

namespace vela::engine {

// How well one block map lies on another at a shift: the mean circular
// difference of the directed block pairs x 100, and their number.
struct AlignmentCost {
    int32_t difference = kNoAlignmentDifference;
    int32_t pairs = 0;
};

// Compares first block (r - rowShift, c - columnShift) with second block
// (r, c) wherever both lie on their grids. A full evaluation takes every
// block and gives 6000 with fewer than minimumPairs pairs; a coarse one takes
// the even rows and columns of the second map and gives 6000 only without any
// pair.
AlignmentCost EvaluateAlignmentFull(const BlockMap& first, const BlockMap& second, int32_t columnShift,
                                    int32_t rowShift, int32_t minimumPairs);
AlignmentCost EvaluateAlignmentCoarse(const BlockMap& first, const BlockMap& second, int32_t columnShift,
                                      int32_t rowShift);

// Finds where the first impression (the current cache slot's maps) lies on the
// second one's block map: a coarse search that any plausible alignment must
// pass, a full search over the same grid and its neighbours, then the turned
// maps around the shift found. In Forward mode the result before the turn is
// kept for the Reverse mode, which starts from it with the shifts negated.
// Without a plausible alignment the overlap is 0.
Alignment AlignBlockMaps(MatchContext& context, const BlockMap& second, AlignMode mode);

} // namespace vela::engine
