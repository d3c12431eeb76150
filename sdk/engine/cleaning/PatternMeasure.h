#pragma once

#include <cstdint>

#include "engine/cleaning/CleaningCanvas.h"

namespace vela::engine {

struct PatternResult {
    int32_t measure; // 0..100
    int32_t balance; // -100..100
};

// Where the ridges wrap over (an orientation flipping from at least 150 to at
// most 30 across a block), how the oriented blocks share out left of it, and
// how flat the ridges above it lie compared with the curves for that many
// oriented blocks.
PatternResult PatternMeasure(const CanvasBlockMap& orientation, CanvasExtent extent);

// 0..1000: where x lies between the pattern curves at n oriented blocks.
double PatternCurveScore(double x, int32_t n);

} // namespace vela::engine
