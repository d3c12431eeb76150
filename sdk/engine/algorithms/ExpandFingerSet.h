#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "engine/algorithms/FingerPairing.h"

namespace vela::engine {

// The finger set of a block; a compact block (161, 162, 164, 165) is
// expanded first. Nothing when the expansion fails.
std::optional<FingerSet> ReadExpandedFingerSet(std::span<const uint8_t> block);

// What algorithms 170 to 183 return for blocks they cannot use.
inline constexpr int32_t kNotOneEntryAgainstOneImpression = -1;
inline constexpr int32_t kFirstBlockNotExpanded = -3;
inline constexpr int32_t kSecondBlockNotExpanded = -4;

using FingerSetMatch = std::function<int32_t(const FingerSet&, const FingerSet&)>;

// Algorithms 180 to 183: both blocks expanded, then matched; -3 / -4 when the
// first / second cannot be.
int32_t MatchExpandedFingerSets(std::span<const uint8_t> first, std::span<const uint8_t> second,
                                const FingerSetMatch& match);

} // namespace vela::engine
