#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/input/GreyCanvas.h"
#include "engine/records/ResultCodes.h"

namespace vela::engine {

// Packs a binary 288 x 400 area (row stride 640, pixels 0 or 255) into the
// 14,400-byte cleaned image, 36 bytes a row, first pixel in the most
// significant bit. First clears, in the area itself, a 5-pixel edge inside
// the bounding rectangle: rows up to top + 4 and from bottom - 4, columns up
// to left + 4 and from right - 4.
// 0xC3100075 when a buffer is short.
ResultCode PackCleanedImage(uint8_t* area, size_t areaLength, uint8_t* output, size_t outputLength,
                            const ContentRect& bounds);

} // namespace vela::engine
