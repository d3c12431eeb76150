#pragma once

#include <cstdint>

namespace vela::engine {

// Every engine entry returns one of these; the object layer maps them to
// exceptions. 0xC3100066 and 0xC310006C are known to that map but never
// returned by the engine.
using ResultCode = uint32_t;

namespace result {
inline constexpr ResultCode Success = 0;
inline constexpr ResultCode UnknownBiometricDataId = 0xC3100064;  // also: compact block cannot be expanded
inline constexpr ResultCode BadScannerId = 0xC3100065;
inline constexpr ResultCode BadImageCount = 0xC3100067;
inline constexpr ResultCode BadChainEntrySize = 0xC3100068;       // entry or buffer too small for its payload
inline constexpr ResultCode BadBmpPixelOffset = 0xC3100069;
inline constexpr ResultCode BadBmpPalette = 0xC310006A;
inline constexpr ResultCode BadCleanedImageSize = 0xC310006B;
inline constexpr ResultCode CleaningFailed = 0xC310006D;
inline constexpr ResultCode BadBmpFormat = 0xC310006E;
inline constexpr ResultCode BadImageSize = 0xC310006F;
inline constexpr ResultCode BadResolution = 0xC3100070;
inline constexpr ResultCode BadImageIndex = 0xC3100071;           // the finger code
inline constexpr ResultCode BadImpressionIndex = 0xC3100072;
inline constexpr ResultCode BadCombination = 0xC3100073;
inline constexpr ResultCode BadQuality = 0xC3100074;
inline constexpr ResultCode WorkBufferUnavailable = 0xC3100075;   // not allocated, or too small for its layout
} // namespace result

} // namespace vela::engine
