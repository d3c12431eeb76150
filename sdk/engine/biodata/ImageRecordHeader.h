#pragma once

#include <cstddef>
#include <cstdint>

namespace vela::engine {

// ImageRecordHeader: the 139 bytes ahead of each image of an image chain.
namespace image_header {
inline constexpr size_t kSize = 139;
inline constexpr size_t kEntrySizeOffset = 0;        // int32, header included; 0 ends the chain
inline constexpr size_t kCleanedSizeOffset = 4;      // int32: 0 or 14,462
inline constexpr size_t kScannerIdOffset = 8;        // int32
inline constexpr size_t kFingerCodeOffset = 12;      // int32, the image index
inline constexpr size_t kImpressionIndexOffset = 16; // int32
inline constexpr size_t kParametersOffset = 20;      // 108-byte ImageParameters, written by the engine
inline constexpr size_t kQualityFlagsOffset = 128;   // u8, written for type 139
inline constexpr size_t kMinQualityOffset = 129;     // u8
inline constexpr size_t kMinSecondOffset = 130;      // u8
inline constexpr size_t kMaxThirdOffset = 131;       // int32, against the absolute third measure
inline constexpr size_t kMaxFourthOffset = 135;      // int32
inline constexpr size_t kPayloadOffset = 139;

// The measures the cleaning leaves in the ImageParameters, as header offsets.
inline constexpr size_t kQualityOffset = 72;         // int32 quality 0..100
inline constexpr size_t kSecondMeasureOffset = 76;   // u8 area share
inline constexpr size_t kThirdMeasureOffset = 80;    // int32 tilt
inline constexpr size_t kFourthMeasureOffset = 84;   // int32 edge measure
inline constexpr size_t kResolutionXOffset = 48;     // int32 work resolution, dpi
inline constexpr size_t kResolutionYOffset = 52;
inline constexpr size_t kOffsetXOffset = 96;         // int16 offsets the compact types store
inline constexpr size_t kOffsetYOffset = 100;
} // namespace image_header

inline constexpr int32_t kMaxChainEntries = 100;
inline constexpr int32_t kCleanedImageFileSize = 14462;

} // namespace vela::engine
