#pragma once
// Gradient fills: bands of solid colour stepping from a begin colour to an end colour, across,
// down, as shrinking squares or ellipses about the centre, or as rectangles shrinking into a
// corner.

#include "canvas/Canvas.h"

namespace pv::graphics {

using namespace pv::canvas;

enum class TGradientStyle : int32_t {
  gsHorizontal, gsVertical, gsSquare, gsElliptic, gsTopLeft, gsTopRight, gsBottomLeft, gsBottomRight,
};

// The number of colour steps: the largest channel difference, limited by the extent that the
// style divides, and never below 1.
int32_t GradientSteps(TGradientStyle style, int32_t width, int32_t height, TColor beginColor, TColor endColor);

// Fills rect (nothing outside it) with the pen mode given; the canvas's pen and brush are
// restored afterwards.
void PaintGradient(Canvas& canvas, const TRect& rect, TGradientStyle style, PenMode penMode, TColor beginColor,
                   TColor endColor);

}  // namespace pv::graphics
