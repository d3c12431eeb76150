#pragma once

#include <cstddef>

namespace vela::engine {

// ImageParameters: the 108-byte per-image parameter block the cleaning fills
// and the image header keeps; every field is an int32 at the offset given.
namespace image_parameters {
inline constexpr size_t kSize = 108;
inline constexpr size_t kInputWidthOffset = 0;
inline constexpr size_t kInputHeightOffset = 4;
inline constexpr size_t kResampledWidthOffset = 8;
inline constexpr size_t kResampledHeightOffset = 12;
inline constexpr size_t kResampledPixelsOffset = 16;
inline constexpr size_t kWorkWidthOffset = 20;
inline constexpr size_t kWorkHeightOffset = 24;
inline constexpr size_t kResolutionXOffset = 28;
inline constexpr size_t kResolutionYOffset = 32;
inline constexpr size_t kWorkPixelsOffset = 36;
inline constexpr size_t kCutPixelsOffset = 40;
inline constexpr size_t kRidgeShareOffset = 44;
inline constexpr size_t kRidgePeriodOffset = 48;
inline constexpr size_t kQualityOffset = 52;
inline constexpr size_t kAreaShareOffset = 56;
inline constexpr size_t kTiltOffset = 60;
inline constexpr size_t kEdgeMeasureOffset = 64;
inline constexpr size_t kPatternMeasureOffset = 68;
inline constexpr size_t kPatternBalanceOffset = 72;
inline constexpr size_t kOffsetXOffset = 76;        // the x offset the compact types store
inline constexpr size_t kOffsetYOffset = 80;        // the y offset the compact types store
inline constexpr size_t kInputOriginXOffset = 84;
inline constexpr size_t kInputOriginYOffset = 88;
} // namespace image_parameters

} // namespace vela::engine
