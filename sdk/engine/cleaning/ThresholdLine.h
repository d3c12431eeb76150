#pragma once

#include <cstdint>

#include "engine/cleaning/CleaningCanvas.h"

namespace vela::engine {

// The local ridge level b = slope x a + intercept fitted between the 9-mean a
// and the 3-mean b of the print pixels.
struct ThresholdLine {
    double slope;
    double intercept;
};

// Least-squares sums of the print pixels of rows and columns 9..size - 9.
struct ThresholdSums {
    double n, sa, sb, saa, sab, sbb;

    double Slope(double intercept) const;
    // The mean squared distance of the pixels from the line through that intercept.
    double Error(double intercept) const;
};
ThresholdSums SumThresholdPixels(const uint8_t* meanOf3, const uint8_t* meanOf9, const CanvasBlockMap& mask,
                                 CanvasExtent extent);

// Raises the intercept one grey level at a time while the error stays below
// 1.05 times that of intercept 0, at most `steps` times, and keeps the last
// intercept before the stop; a plain comparison (slope 1, intercept 0) when
// that is below 1.
ThresholdLine FitThresholdLine(const ThresholdSums& sums, int32_t steps);

// 255 where the pixel's block is print and the 3-mean lies below the line,
// else 0, over rows and columns 4..size - 5.
void BinariseByThresholdLine(const uint8_t* meanOf3, const uint8_t* meanOf9, const CanvasBlockMap& mask,
                             CanvasExtent extent, ThresholdLine line, uint8_t* binary);

// The tilt of the print in degrees (-90..90) from the second moments of the
// set pixels on a grid of every second row and column; 0 when none is set.
double EstimatePrintTilt(const uint8_t* binary, CanvasExtent extent);

} // namespace vela::engine
