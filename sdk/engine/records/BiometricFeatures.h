#pragma once

#include <cstddef>

#include "engine/records/EngineGeometry.h"

namespace vela::engine {

// BiometricFeatures: the flat features of one impression, 2,644 bytes of int32.
namespace biometric_features {
inline constexpr size_t kCountOffset = 0;
inline constexpr size_t kXOffset = 4;                                   // int32 x[70]
inline constexpr size_t kYOffset = kXOffset + 4 * kMaxMinutiae;         // int32 y[70]
inline constexpr size_t kAngleOffset = kYOffset + 4 * kMaxMinutiae;     // int32 angle[70]
inline constexpr size_t kBlockDirectionOffset = kAngleOffset + 4 * kMaxMinutiae; // int32 [450]
inline constexpr size_t kSize = kBlockDirectionOffset + 4 * kBlockCount;

static_assert(kSize == 2644);
} // namespace biometric_features

} // namespace vela::engine
