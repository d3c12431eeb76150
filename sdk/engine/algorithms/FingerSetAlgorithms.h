#pragma once

#include <cstdint>
#include <span>

#include "engine/algorithms/FingerPairing.h"
#include "engine/matching/MatchContext.h"

namespace vela::engine {

// The finger-set algorithms read both blocks as FingerEntrys (type 150) and
// return at most 2000. `flag` 1 combines the fingers by rank, 0 by finger.

// Two passes: at most four pairs of the same finger first (the plain entry
// comparison with the given rotated retries); when their combination reaches
// the threshold for that many fingers, every such pair again with relaxed
// tuning and one more retry, after which the context's tuning words are the
// normal ones whatever they were before; otherwise the fingers left out count
// as 0.
int32_t MatchFingerSets(const FingerSet& first, const FingerSet& second, int32_t rotations, int32_t flag,
                        MatchContext& context);

// 150, 151: every pair of the same finger, no retries, one pass.
int32_t MatchAlgorithm150(std::span<const uint8_t> first, std::span<const uint8_t> second, int32_t flag,
                          MatchContext& context);
// 152, 153: four pairs first; with two or more fingers scored, every pair.
int32_t MatchAlgorithm152(std::span<const uint8_t> first, std::span<const uint8_t> second, int32_t flag,
                          MatchContext& context);
// 154, 155: as MatchFingerSets by finger code only, the second pass with one
// rotated retry at the normal tuning.
int32_t MatchAlgorithm154(std::span<const uint8_t> first, std::span<const uint8_t> second, int32_t flag,
                          MatchContext& context);
// 182, 183: compact blocks expanded (-3 / -4 when the first / second cannot
// be), then MatchFingerSets with one rotated retry.
int32_t MatchAlgorithm182(std::span<const uint8_t> first, std::span<const uint8_t> second, int32_t flag,
                          MatchContext& context);
// 191: MatchFingerSets with one rotated retry, ranked, no expansion.
int32_t MatchAlgorithm191(std::span<const uint8_t> first, std::span<const uint8_t> second, MatchContext& context);

} // namespace vela::engine
