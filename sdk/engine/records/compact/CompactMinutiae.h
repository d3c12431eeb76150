#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// The parts both compact impression forms share: a 4-byte header (quality,
// byte 9, byte 10, kept count) and 175 bytes of minutiae, 2.5 bytes each.
namespace compact {
inline constexpr size_t kHeaderSize = 4;
inline constexpr size_t kQualityOffset = 0;
inline constexpr size_t kFingerCodeOffset = 1;   // byte 9 of the record; in 161/164 entries an int16 offset
inline constexpr size_t kBlockRowsOffset = 2;    // byte 10 of the record
inline constexpr size_t kCountOffset = 3;
inline constexpr size_t kMinutiaeBytes = 175;

// Only minutiae inside this window and with a real direction are kept: x - 5
// must fit the 7 bits beside the direction's high bit.
inline constexpr int32_t kMinX = 5;
inline constexpr int32_t kMaxX = 132;
inline constexpr int32_t kMinY = 5;
inline constexpr int32_t kMaxY = 194;
} // namespace compact

// Writes the header and the minutiae of an impression; the header counts the
// minutiae kept.
void PackCompactHeaderAndMinutiae(const Impression& impression, std::span<uint8_t, compact::kHeaderSize> header,
                                  std::span<uint8_t, compact::kMinutiaeBytes> minutiae);

// Starts a record from a compact header and its minutiae: size 672, kind 3,
// the header bytes copied. False when the count exceeds 70 or a stored y
// lies beyond what a packer can write (y above 194).
bool UnpackCompactHeaderAndMinutiae(std::span<const uint8_t, compact::kHeaderSize> header,
                                    std::span<const uint8_t, compact::kMinutiaeBytes> minutiae,
                                    Impression& out);

} // namespace vela::engine
