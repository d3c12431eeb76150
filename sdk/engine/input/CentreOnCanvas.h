#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/input/GreyCanvas.h"
#include "engine/records/ResultCodes.h"

namespace vela::engine {

// Copies the picture into the output canvas, moved to the middle on every
// axis where it is smaller than 640, with the background level around it.
// Width and height grow by twice the offsets and bounds move by them.
// 0xC3100075 when a buffer is short or the size lies outside the canvas.
ResultCode CentreOnCanvas(const uint8_t* canvas, size_t canvasLength, uint8_t* output, size_t outputLength,
                          int32_t background, int32_t& width, int32_t& height, ContentRect& bounds);

} // namespace vela::engine
