#pragma once

#include <cstdint>

#include "engine/matching/MatchContext.h"

namespace vela::engine {

// The lower and upper reference values (x 100) for a common-area count,
// interpolated between the points of the score curves.
struct ScoreReference {
    int32_t lower;
    int32_t upper;
};
ScoreReference ScoreReferenceFor(int32_t commonCount);

// Turns the score inputs into a score: 0 when the alignment is too poor or
// too few of the common minutiae pair closely, else the region score sum
// placed against the reference curves, then capped by how much evidence the
// pairing found.
int32_t ScoreMatch(const ScoreInputs& inputs, const MatchTuning& tuning);

} // namespace vela::engine
