#pragma once

#include <cstddef>
#include <cstdint>

namespace vela::engine {

// The parts of an 8-bit BMP file the engine reads: file header, 40-byte info
// header, 256-entry palette (blue, green, red, reserved), pixel rows bottom-up.
namespace bmp {
inline constexpr size_t kPixelOffsetField = 10;   // u32
inline constexpr size_t kWidthField = 18;         // int32
inline constexpr size_t kHeightField = 22;        // int32
inline constexpr size_t kPlanesField = 26;        // u16
inline constexpr size_t kBitsPerPixelField = 28;  // u16
inline constexpr size_t kCompressionField = 30;   // u32
inline constexpr size_t kXPixelsPerMetreField = 38; // int32
inline constexpr size_t kYPixelsPerMetreField = 42; // int32
inline constexpr size_t kHeadersSize = 54;
inline constexpr size_t kPaletteOffset = 54;
inline constexpr size_t kPaletteEntries = 256;
inline constexpr size_t kPixelDataOffset = 1078;  // 14 + 40 + 1,024

inline constexpr int64_t RowStride(int64_t width) { return (width + 3) / 4 * 4; }
} // namespace bmp

} // namespace vela::engine
