#pragma once

#include <cstdint>

#include "engine/cleaning/CleaningCanvas.h"

namespace vela::engine {

// RoundHalfAway(sqrt(S / 16 / 16)), S the sum of (p - 128)^2 over the block
// of the enhanced image (integer divisions).
uint8_t BlockContrast(const uint8_t* enhanced, int32_t blockRow, int32_t blockColumn);

// Fills the contrast map for every block of the extent and turns to
// background the print blocks of every 2 x 2 group whose mean contrast is
// below 45.
void ContrastQuality(const uint8_t* enhanced, CanvasBlockMap& mask, CanvasBlockMap& contrast, CanvasExtent extent);

// 0..100 from the mean contrast of the print blocks in the 2 x 2 groups of the
// 288 x 400 window around (x, y).
int32_t WindowQuality(CanvasPoint point, const CanvasBlockMap& mask, const CanvasBlockMap& contrast,
                      CanvasExtent extent);

} // namespace vela::engine
