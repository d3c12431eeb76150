#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// Entries of the compact finger-set blocks, one per image:
//   161: u8 finger code, FiveBitImpression of variant 0, FiveBitImpression of variant 1
//   164: u8 finger code, DeltaCodedImpression of variant 0, DeltaCodedImpression of variant 1
//   162: u8 finger code, int16 x offset, int16 y offset, FiveBitImpression of variant 0
//   165: u8 finger code, int16 x offset, int16 y offset, DeltaCodedImpression of variant 0
// In 161 and 164 entries header bytes 1-2 of the first impression carry the
// int16 x offset and those of the second the y offset, in place of the finger
// code and row count. Offsets are in work-image pixels.
namespace compact_entry {
inline constexpr size_t kFingerCodeOffset = 0;
inline constexpr size_t kPairFirstOffset = 1;
inline constexpr size_t kSingleOffsetXOffset = 1;
inline constexpr size_t kSingleOffsetYOffset = 3;
inline constexpr size_t kSingleImpressionOffset = 5;
inline constexpr size_t kImpressionOffsetField = 1;  // in a packed impression of a pair entry

// The size of one entry of a compact type, 0 for any other type.
size_t EntrySize(int32_t dataId);
// The size of one packed impression of a compact type, 0 for any other type.
size_t PackedImpressionSize(int32_t dataId);
} // namespace compact_entry

// Writes one entry of a compact type (161, 162, 164 or 165); variant1 is
// ignored by the single-impression types. False for another type or a short
// output buffer.
bool PackCompactEntry(int32_t dataId, uint8_t fingerCode, int16_t offsetX, int16_t offsetY,
                      const Impression& variant0, const Impression& variant1, uint8_t* entry, size_t entryLength);

} // namespace vela::engine
