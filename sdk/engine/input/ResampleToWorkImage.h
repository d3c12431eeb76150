#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/input/GreyCanvas.h"
#include "engine/input/ScannerParameters.h"
#include "engine/records/ResultCodes.h"

namespace vela::engine {

// The grey level of the picture's background: the mean of the pixels at
// rows and columns 32..size - 32, or, when at least 100 of them are brighter
// than that, the rounded mean of the brighter ones.
int32_t BackgroundLevel(const uint8_t* canvas, int32_t width, int32_t height);

// The grey value at real position (x, y) of a width x height picture at the
// canvas origin: the background outside it, the pixel itself on its outermost
// rows and columns, else the weighted mean of the (up to) four pixels around.
// Rows lie `stride` bytes apart (the canvas side unless given).
uint8_t SampleArea(const uint8_t* canvas, int32_t width, int32_t height, double x, double y, int32_t background,
                   int32_t stride = kCanvasSide);

// Measures the background level, then, when the target resolution differs
// from the source, resamples the picture to it through the second buffer:
// the new size is taken per axis, the middle 640 pixels kept where it is
// larger, and the crop scaled and moved with it. Width, height and bounds
// describe the resampled picture afterwards.
// 0xC3100075 when a buffer is short or the size lies outside the canvas.
ResultCode ResampleToWorkImage(uint8_t* canvas, size_t canvasLength, uint8_t* second, size_t secondLength,
                               ScannerParameters& parameters, int32_t& background, int32_t& width,
                               int32_t& height, ContentRect& bounds);

} // namespace vela::engine
