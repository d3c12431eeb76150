#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/records/ResultCodes.h"

namespace vela::engine {

inline constexpr size_t kCleanedBmpHeaderSize = 62;

// Always 0, with the byte size of a cleaned image as a 1-bit BMP: 14,462.
ResultCode XGetCleanedImageSize(int32_t* size);

// Writes the 14,400-byte cleaned image as a 288 x 400 1-bit BMP (palette
// black, white) at the work resolution in dpi: ridges black, rows bottom-up.
// False, writing nothing, when either buffer is too short.
bool WriteCleanedImageBmp(std::span<const uint8_t> cleaned, int32_t dpiX, int32_t dpiY, std::span<uint8_t> out);

} // namespace vela::engine
