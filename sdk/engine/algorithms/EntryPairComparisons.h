#pragma once

#include <cstdint>

#include "engine/hashing/EntryImpressions.h"
#include "engine/matching/MatchContext.h"

namespace vela::engine {

// One finger entry against another, record k against record k. The main
// score is the better of records 0 and 2 at nine tenths; once it reaches the
// gate, records 1 and 3 may raise it (each only when both records have a
// quality above 40). A score in 552..699 that only one of the two supports
// well is held at 552.
//
//   variant   rotated retries   record 2 compared                        gate
//   Plain     0                 always                                   150
//   Turned    1                 always                                   150
//   (plain)   the caller's      only when record 0 scores above 150      150
//   Relaxed   the caller's + 1  always                                   80
int32_t CompareEntryPairPlain(const EntryImpressions& first, const EntryImpressions& second, MatchContext& context);
int32_t CompareEntryPairTurned(const EntryImpressions& first, const EntryImpressions& second, MatchContext& context);
int32_t CompareEntryPair(const EntryImpressions& first, const EntryImpressions& second, int32_t rotations,
                         MatchContext& context);
int32_t CompareEntryPairRelaxed(const EntryImpressions& first, const EntryImpressions& second, int32_t rotations,
                                MatchContext& context);

// The last step of every variant: max(main, odd), held at 552 when it lies in
// 552..699 and the weaker of the two is below 416.
int32_t CombineEntryPairScores(int32_t main, int32_t odd);

} // namespace vela::engine
