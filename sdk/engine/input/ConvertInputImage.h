#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/input/GreyCanvas.h"
#include "engine/input/ScannerParameters.h"
#include "engine/records/ResultCodes.h"

namespace vela::engine {

// Brings a BMP onto a 640 x 640 canvas, rows top-down. A picture larger than
// the canvas keeps the 640-pixel window around its darkness-weighted
// centroid. Writes the source resolution (dpi) and the window's left and top
// (cropX, cropY) into the parameters, the size taken into width and height,
// and (0, 0, width - 1, height - 1) into bounds.
// The BMP is checked with ValidateInputBmp first and its code returned when
// it fails; 0xC3100075 when the canvas is shorter than 640 x 640 bytes.
ResultCode ConvertInputImage(const uint8_t* bmp, size_t bmpLength, uint8_t* canvas, size_t canvasLength,
                             ScannerParameters& parameters, int32_t& width, int32_t& height, ContentRect& bounds);

// Pixels per metre to dots per inch, as the conversion rounds them.
int32_t PixelsPerMetreToDpi(int32_t pixelsPerMetre);

} // namespace vela::engine
