#pragma once

#include <cstdint>

#include "engine/hashing/EntryImpressions.h"
#include "engine/hashing/PairHashTables.h"
#include "engine/matching/MatchContext.h"

namespace vela::engine {

// Scores one finger entry against another: the first impressions are
// aligned by the pair hash, the second entry's impressions are moved onto the
// first's and compared without rotated retries, next to direct comparisons
// with one rotated retry; a middling score is tried the other way round as
// well. 0 when the first entry's record 0 cannot be hashed (quality below
// 10, fewer than 4 minutiae) or the context has no room for the tables.
//
// While the context's last-result slot is empty, the first alignment made
// fills it with the rotation in degrees and the x and y shifts in pixels.
int32_t HashCompareEntries(const EntryImpressions& first, const EntryImpressions& second, MatchContext& context);

// HashCompareEntries limited to 2000.
int32_t CompareEntriesFast(const EntryImpressions& first, const EntryImpressions& second, MatchContext& context);

// One direction of HashCompareEntries, with the tables built from the first
// entry's record 0.
int32_t HashScoreEntries(const EntryImpressions& first, const EntryImpressions& second, PairHashTables& tables,
                         MatchContext& context);

// A one-way score in this range earns the comparison the other way round.
bool EarnsReverseHashComparison(int32_t score);

} // namespace vela::engine
