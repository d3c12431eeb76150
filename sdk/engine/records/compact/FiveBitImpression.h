#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/records/ImpressionRecord.h"
#include "engine/records/compact/CompactMinutiae.h"

namespace vela::engine {

// FiveBitImpression (461 bytes): the 4 header bytes, the block map as 450
// five-bit codes (value / 2, "=" as 30) packed least significant bit first,
// then the compact minutiae. Block directions keep 6-degree resolution.
namespace five_bit {
inline constexpr size_t kBlocksOffset = compact::kHeaderSize;
inline constexpr size_t kBlocksBytes = 282;
inline constexpr size_t kMinutiaeOffset = kBlocksOffset + kBlocksBytes;
inline constexpr size_t kSize = kMinutiaeOffset + compact::kMinutiaeBytes;
static_assert(kSize == 461);
} // namespace five_bit

void PackFiveBitImpression(const Impression& impression, std::span<uint8_t, five_bit::kSize> packed);

// False when the stored count or a coordinate cannot come from the packer.
bool UnpackFiveBitImpression(std::span<const uint8_t, five_bit::kSize> packed, Impression& out);

// The same on byte buffers; false when a buffer is too short or unpacking fails.
bool PackFiveBitImpression(const uint8_t* record, size_t recordLength, uint8_t* packed, size_t packedLength);
bool UnpackFiveBitImpression(const uint8_t* packed, size_t packedLength, uint8_t* record, size_t recordLength);

} // namespace vela::engine
