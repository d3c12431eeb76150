#pragma once

#include <cstdint>

#include "engine/hashing/PairHashTables.h"

namespace vela::engine {

// An impression that cannot be hashed: quality below 10, fewer than 4
// minutiae, or more than 70 (a corrupt count).
bool RefusesPairHash(const Impression& impression);

// The feature of the pair (i, j) of a fine impression, seen from minutia i.
PairFeature MakePairFeature(const Impression& fine, int32_t i, int32_t j);

// The features of every ordered pair of an impression, [i][j] for i, j
// below its count and no feature elsewhere: from a slot or the last aligned
// impression when one of them describes it, else made and kept as the last
// aligned impression's.
const PairFeatureTable& PairFeaturesOf(PairHashTables& tables, const Impression& impression);

// Describes every ordered minutia pair of the impression in the tables: its
// feature, and the pair itself in the 27 buckets around the feature (cells
// +-1 either way, angle +-1), so that a look-up reads one bucket. A bucket
// keeps its first 5 pairs. 0, or -1 for a refused impression, which leaves
// the tables as they were. The tables are not rebuilt for the record they
// already describe.
int32_t BuildPairHash(const Impression& impression, PairHashTables& tables);

// The pairs of one bucket; for tests and diagnostics.
PairBucket PairBucketAt(const PairHashTables& tables, int32_t qx, int32_t qy, int32_t angle);

} // namespace vela::engine
