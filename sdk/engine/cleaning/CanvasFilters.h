#pragma once

#include <cstdint>

#include "engine/cleaning/CleaningCanvas.h"

namespace vela::engine {

// Stretches the grey levels of the extent so that `clip` pixels of the window
// fall at or below the new black and as many at or above the new white; a
// window too flat or too small for that leaves the image as it is.
void StretchContrast(uint8_t* image, CanvasExtent extent, int32_t clip, CanvasWindow window);

// Running mean over window x window pixels (window / 2 at least 1 on each
// side) through a scratch canvas; a border of that half width stays 0.
// Source and destination may be the same canvas.
void BoxMean(const uint8_t* source, uint8_t* destination, uint8_t* scratch, CanvasExtent extent, int32_t window);

// Sets the first and last k rows and columns of the extent to the value.
void FillCanvasFrame(uint8_t* image, CanvasExtent extent, int32_t k, uint8_t value);

// difference = |a - b| pixel by pixel over the extent.
void AbsoluteDifference(const uint8_t* a, const uint8_t* b, uint8_t* difference, CanvasExtent extent);

// Sets every pixel of the canvas whose block is background (mask 0) to the value.
void FillBackgroundBlocks(uint8_t* image, const CanvasBlockMap& mask, uint8_t value);

void CopyCanvas(const uint8_t* source, uint8_t* destination);

} // namespace vela::engine
