#pragma once

#include <cstdint>
#include <span>

#include "engine/records/ResultCodes.h"

namespace vela::engine {

// The size of the work buffer XGetBiometricData allocates per call: the
// cleaning's canvases and slots, then four cleaned variants and the cleaned
// output image.
inline constexpr size_t kBiometricDataWorkSize = 2587200;

// Builds a BiometricData block of the type from an image chain (each image
// behind a 139-byte ImageRecordHeader; the span is the chain's length), or
// recombines the stored blocks the chain carries for types 140, 151, 152, 153
// and 163. Every image is cleaned: its header receives the ImageParameters and,
// when it asks for one, its last 14,462 bytes the cleaned image as a 1-bit
// BMP. With an empty `out` nothing more is made; otherwise `out` must have
// room for the type's largest block (0xC3100068 if not) and receives the block.
ResultCode XGetBiometricData(int32_t dataId, std::span<uint8_t> chain, std::span<uint8_t> out);

} // namespace vela::engine
