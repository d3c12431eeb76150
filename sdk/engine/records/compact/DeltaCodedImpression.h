#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/records/ImpressionRecord.h"
#include "engine/records/compact/CompactMinutiae.h"

namespace vela::engine {

// DeltaCodedImpression (359 bytes): the 4 header bytes, the block map as a bit
// stream of at most 1,440 bits (the first value in spiral order as 6 bits,
// then the BlockDeltaCode of each difference), then the compact minutiae.
// Directions keep full resolution; a map whose codes need more than 1,440
// bits loses the outer end of the spiral, which comes back as 61.
namespace delta_coded {
inline constexpr size_t kBlocksOffset = compact::kHeaderSize;
inline constexpr size_t kBlocksBytes = 180;
inline constexpr int32_t kBlockBits = 8 * kBlocksBytes;   // 1,440
inline constexpr size_t kMinutiaeOffset = kBlocksOffset + kBlocksBytes;
inline constexpr size_t kSize = kMinutiaeOffset + compact::kMinutiaeBytes;
static_assert(kMinutiaeOffset == 184 && kSize == 359);
} // namespace delta_coded

// Packs an impression as a DeltaCodedImpression.
void PackCompactImpression(const Impression& impression, std::span<uint8_t, delta_coded::kSize> packed);

// False when the stored count or a coordinate cannot come from the packer.
bool UnpackCompactImpression(std::span<const uint8_t, delta_coded::kSize> packed, Impression& out);

// The same on byte buffers; false when a buffer is too short or unpacking fails.
bool PackCompactImpression(const uint8_t* record, size_t recordLength, uint8_t* packed, size_t packedLength);
bool UnpackCompactImpression(const uint8_t* packed, size_t packedLength, uint8_t* record, size_t recordLength);

} // namespace vela::engine
