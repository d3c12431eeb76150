#pragma once

#include <cstdint>

namespace vela::engine {

// The fixed geometry every engine stage relies on.

inline constexpr int32_t kWorkWidth = 288;
inline constexpr int32_t kWorkHeight = 400;
inline constexpr int32_t kWorkPixels = kWorkWidth * kWorkHeight;

// WorkImage: the work area with a 5-pixel margin on every side.
inline constexpr int32_t kWorkImageMargin = 5;
inline constexpr int32_t kWorkImageStride = kWorkWidth + 2 * kWorkImageMargin;          // 298
inline constexpr int32_t kWorkImageRows = kWorkHeight + 2 * kWorkImageMargin;           // 410
inline constexpr int32_t kWorkImageBytes = kWorkImageStride * kWorkImageRows;
inline constexpr int32_t kWorkImageFirstPixel = kWorkImageMargin * kWorkImageStride + kWorkImageMargin; // 1495

// Cleaned image: 1 bit a pixel, most significant bit first.
inline constexpr int32_t kCleanedRowBytes = kWorkWidth / 8;                            // 36
inline constexpr int32_t kCleanedImageBytes = kCleanedRowBytes * kWorkHeight;          // 14,400

// Block map of an impression.
inline constexpr int32_t kBlockSide = 16;
inline constexpr int32_t kBlockColumns = kWorkWidth / kBlockSide;                      // 18
inline constexpr int32_t kBlockRows = kWorkHeight / kBlockSide;                        // 25
inline constexpr int32_t kBlockCount = kBlockColumns * kBlockRows;                     // 450

// Block directions: 0..59 in steps of 3 degrees; 61 ("=") marks background.
inline constexpr int32_t kDirectionSteps = 60;
inline constexpr uint8_t kNoDirection = 61;

// Minutiae positions in half pixels; a block spans 8 units.
inline constexpr int32_t kMinutiaUnitsPerBlock = kBlockSide / 2;
inline constexpr int32_t kMinutiaMaxX = kWorkWidth / 2;                                // x < 144
inline constexpr int32_t kMinutiaMaxY = kWorkHeight / 2;                               // y < 200
// The centre of an impression in minutia units, about which impressions are turned and scaled.
inline constexpr int32_t kImpressionCentreX = kMinutiaMaxX / 2;                        // 72
inline constexpr int32_t kImpressionCentreY = kMinutiaMaxY / 2;                        // 100
inline constexpr int32_t kMinutiaDirections = 24;                                      // 15-degree steps
inline constexpr int32_t kMaxMinutiae = 70;

} // namespace vela::engine
