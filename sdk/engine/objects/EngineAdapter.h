// The object layer's only road into the numeric engine: image chains in,
// data blocks and features out, result codes turned into exceptions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vela::math {

// Every image record the engine reads starts with this header.
namespace image_header {
inline constexpr size_t kSize = 139;
inline constexpr size_t kRecordSizeOffset = 0;
inline constexpr size_t kCleanedSizeOffset = 4;
inline constexpr size_t kScannerIdOffset = 8;
inline constexpr size_t kFingerCodeOffset = 12;
inline constexpr size_t kImpressionIndexOffset = 16;
// What the caller gets back of each record: the header and one image byte.
inline constexpr size_t kEntrySize = 140;
}  // namespace image_header

// The scanner id the object layer gives for every image it hands the engine.
inline constexpr int32_t kObjectLayerScannerId = 14;

// Data ids the object layer names.
inline constexpr int32_t kSingleFingerDataId = 1;
inline constexpr int32_t kFingerEntriesDataId = 150;
inline constexpr int32_t kMergeDataId = 152;
inline constexpr int32_t kRemoveFingerDataId = 153;

struct ImageListEntry {
  std::vector<uint8_t> bmp;  // a whole 8-bit BMP file (PrepareImage)
  int32_t fingerCode;
  int32_t impressionIndex;   // 1 for a finger's first image
};

struct BiometricDataResult {
  std::vector<uint8_t> data;  // one BiometricData block, trimmed to its size
  // One per image, in chain order: the image's header after the engine call
  // (with its image parameters) and the first image byte.
  std::vector<std::vector<uint8_t>> headers;
};

BiometricDataResult GetBiometricDataForImages(const std::vector<ImageListEntry>& images,
                                              int32_t scannerId, int32_t dataId);

// The BiometricFeatures record of a stored block's first impression.
std::vector<uint8_t> GetTemplateFeatures(std::span<const uint8_t> block);

// The image quality the engine measures on a BMP.
int32_t GetImageFeatures(std::span<const uint8_t> bmp);

// Both blocks must hold full finger entries; where both have a finger, b's
// entries are kept. not_supported otherwise.
std::vector<uint8_t> CombineBiometricData(std::span<const uint8_t> a, std::span<const uint8_t> b);
// The block without the entries of one finger; it must hold full finger entries.
std::vector<uint8_t> CombineBiometricData(std::span<const uint8_t> block, int32_t fingerCode);

// The BiometricDataId of a block, or -1 when it is too short to hold one.
int32_t BlockDataId(std::span<const uint8_t> block);

}  // namespace vela::math
