#pragma once

#include <cstdint>

#include "engine/cleaning/CleaningCanvas.h"

namespace vela::engine {

// The 15-bit ridge profile across the ridges at a canvas offset: bit k set
// when the binary image is set at distance k - 7 on the line of angle
// 180 - orientation.
uint16_t SampleRidgePattern(const uint8_t* binary, int32_t at, uint8_t orientation);

// Matched-filter enhancement of the binary ridge image: each print pixel
// spreads the kernel of its profile's period and phase across the ridge and
// its own value along it. Writes the enhanced grey image and returns the mean
// period x 100 (0 for fewer than 10 pixels with a usable period).
int32_t EnhanceRidges(const uint8_t* binary, const CanvasBlockMap& orientation, const CanvasBlockMap& mask,
                      uint8_t* enhanced, int16_t* accumulator, CanvasExtent extent);

// The enhancement, its contrast pruning and the binarisation of the enhanced
// image by its own local means, into `output`. The source doubles as scratch
// and is left overwritten. Returns the period value; fills the contrast map.
int32_t EnhanceAndBinarise(uint8_t* source, uint8_t* output, uint8_t* scratch, int16_t* accumulator,
                           const CanvasBlockMap& orientation, const CanvasBlockMap& mask, CanvasBlockMap& contrast,
                           CanvasExtent extent);

} // namespace vela::engine
