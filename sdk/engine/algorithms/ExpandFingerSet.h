#pragma once

#include <cstdint>
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

} // namespace vela::engine
