#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/input/GreyCanvas.h"
#include "engine/records/ResultCodes.h"

namespace vela::engine {

// The smallest buffer that holds a 288 x 400 area at row stride 640.
inline constexpr size_t kWorkAreaOnCanvasBytes = 399 * static_cast<size_t>(kCanvasSide) + 288;

struct CutCounts {
    int32_t copied = 0;   // pixels taken from the canvas
    int32_t nonZero = 0;  // of those, the non-zero ones
    int32_t zero = 0;     // of those, the zero ones
};

// Cuts the 288 x 400 work area around a reference point (px, py) in canvas
// pixels, snapped to whole blocks, into output (row stride 640). A pixel is
// taken when it lies inside the width x height content and its block is
// foreground (mask value 1, 40 blocks a row); every other pixel is 0. Bounds
// move with the cut.
// 0xC3100075 when a buffer is short or the size lies outside the canvas.
ResultCode CutWorkArea(const uint8_t* canvas, size_t canvasLength, uint8_t* output, size_t outputLength,
                       int32_t px, int32_t py, const uint8_t* mask, size_t maskLength, int32_t width,
                       int32_t height, ContentRect& bounds, CutCounts& counts);

} // namespace vela::engine
