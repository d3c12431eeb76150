#pragma once

#include <cstdint>
#include <span>

#include "engine/matching/MatchContext.h"

namespace vela::engine {

// The matcher algorithms, by MatchAlgorithmId. The object layer's matcher uses
// 1 for blocks of type 1, 183 at match speed 1 and 181 at match speed 2.
//   1, 2, 3        impression lists (rotated retries 0, 1, 4)
//   140            four-slot blocks of type 140
//   150/151, 152/153, 154/155, 160/161   finger sets (odd id: ranked combination)
//   170            one finger entry against one impression
//   180/181, 182/183   compact finger sets expanded, then as 160/161 or the two-pass finger-set match
//   191            finger sets, two-pass match, ranked combination
bool IsKnownMatchAlgorithm(int32_t algorithmId);

// Scores block `first` (the probe, A) against block `second` (B) with the
// algorithm of the id, using `context` for every comparison. Each block is
// read by its own size word, never beyond its span. The score is 0 for no
// evidence and at most 2000 for the finger-set algorithms; negative scores
// report blocks that do not suit the algorithm (-1: 170 needs one finger entry
// against one impression; -3 / -4: 180 to 183 cannot expand the first / the
// second compact block).
//
// Returns false, with score 0 and the context untouched, for an id it does not
// know; the object layer reports that as "Alg not found".
bool DispatchMatchAlgorithm(int32_t algorithmId, std::span<const uint8_t> first, std::span<const uint8_t> second,
                            MatchContext& context, int32_t& score);

} // namespace vela::engine
