#pragma once

#include <array>
#include <cstdint>

#include "engine/hashing/PairHashTables.h"

namespace vela::engine {

// For each minutia of the first impression, the minutia of the second that
// corresponds to it, or -1.
using Correspondences = std::array<int32_t, kMaxMinutiae>;

// Aligns a second impression onto the first one the tables describe: its
// minutia pairs vote through the pair hash for corresponding minutiae, and the
// agreeing correspondences give a rotation and a shift. Writes the working
// estimate as it goes and, when the alignment succeeds (a rotation within
// +-100 degrees and more than 3 minutiae on average), copies it to the
// handed-out estimate and leaves the second impression moved onto the first in
// `transformed`. Returns the share of agreeing minutiae in thousandths, 0
// when there is no alignment.
int32_t HashAlign(PairHashTables& tables, const Impression& second, Impression& transformed);

// The steps of HashAlign, in order; `fineSecond` is the fine copy of the
// second impression and `features` its pair features.
void VoteCorrespondences(PairHashTables& tables, const Impression& fineSecond, const PairFeatureTable& features);
Correspondences SelectCorrespondences(PairHashTables& tables, int32_t secondCount);
// Keeps the pairs inside the best window of direction differences, writes
// the working rotation and returns the first impression's minutiae turned by
// the window's mean rotation.
struct TurnedMinutiae {
    std::array<int32_t, kMaxMinutiae> x{};
    std::array<int32_t, kMaxMinutiae> y{};
};
TurnedMinutiae EstimateRotation(PairHashTables& tables, const Impression& fineSecond, Correspondences& corr);
void EstimateShiftX(PairHashTables& tables, const Impression& fineSecond, const TurnedMinutiae& turned,
                    Correspondences& corr);
void EstimateShiftY(PairHashTables& tables, const Impression& fineSecond, const TurnedMinutiae& turned,
                    Correspondences& corr);

} // namespace vela::engine
