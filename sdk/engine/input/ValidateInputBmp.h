#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/records/ResultCodes.h"

namespace vela::engine {

// Checks that a BMP is one the engine takes, in this order, one code each:
//   not "BM", planes 1, 8 bits a pixel, compression 0 (or shorter than the
//     54 header bytes)                                   0xC310006E
//   pixel data not at byte 1078                          0xC3100069
//   row stride or height outside 100..2000               0xC310006F
//   x or y resolution outside 7874..39370 pixels a metre 0xC3100070
//   buffer shorter than the palette and pixel rows       0xC3100068
//   a used palette entry not grey, or darker than the
//     previous used entry                                0xC310006A
// On success byteSize (when given) receives the picture's size, stride x
// height + 1078; on failure 0.
ResultCode ValidateInputBmp(const uint8_t* bmp, size_t length, int32_t* byteSize);

} // namespace vela::engine
