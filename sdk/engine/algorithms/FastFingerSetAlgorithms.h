#pragma once

#include <cstdint>
#include <span>

#include "engine/algorithms/FingerPairing.h"
#include "engine/matching/MatchContext.h"

namespace vela::engine {

// The finger-set algorithms built on the hash-aligned entry comparison. Each
// empties the context's last-result slot first, so that afterwards it holds
// the alignment of the first entry pair compared.

// Every pair of the same finger, one pass; at most 2000.
int32_t MatchFingerSetsFast(const FingerSet& first, const FingerSet& second, int32_t flag, MatchContext& context);

// 160, 161: MatchFingerSetsFast on two finger-set blocks.
int32_t MatchAlgorithm160(std::span<const uint8_t> first, std::span<const uint8_t> second, int32_t flag,
                          MatchContext& context);
// 170: one finger entry against one impression; -1 for other blocks.
int32_t MatchAlgorithm170(std::span<const uint8_t> first, std::span<const uint8_t> second, MatchContext& context);
// 180, 181: compact blocks expanded (-3 / -4 when the first / second cannot
// be), then MatchFingerSetsFast.
int32_t MatchAlgorithm180(std::span<const uint8_t> first, std::span<const uint8_t> second, int32_t flag,
                          MatchContext& context);

} // namespace vela::engine
