#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vela::engine {

// The 23 bytes of a type-139 block after its size and type: the image's
// measures next to the limits its header asked for.
namespace quality_block {
inline constexpr size_t kFingerCodeOffset = 8;        // u8
inline constexpr size_t kImpressionIndexOffset = 9;   // u8
inline constexpr size_t kFlagsOffset = 10;            // u8
inline constexpr size_t kQualityOffset = 11;          // u8
inline constexpr size_t kSecondOffset = 12;           // u8
inline constexpr size_t kThirdOffset = 13;            // int32
inline constexpr size_t kFourthOffset = 17;           // int32
inline constexpr size_t kMinQualityOffset = 21;       // u8
inline constexpr size_t kMinSecondOffset = 22;        // u8
inline constexpr size_t kMaxThirdOffset = 23;         // int32
inline constexpr size_t kMaxFourthOffset = 27;        // int32
inline constexpr size_t kImpressionsOffset = 31;
inline constexpr size_t kSize = 2719;                 // with its four ImpressionRecords
} // namespace quality_block

// Bit 0: quality below its minimum; bit 1: second measure below its minimum;
// bit 2: absolute third measure above its maximum; bit 3: fourth measure
// above its maximum.
uint8_t QualityFlags(std::span<const uint8_t> imageHeader);

// Writes bytes 8..30 of a type-139 block from an image header whose
// ImageParameters the cleaning filled, and the flags into header byte 128.
void WriteQualityHeader(std::span<uint8_t> imageHeader, std::span<uint8_t> block);

} // namespace vela::engine
