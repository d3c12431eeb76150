#pragma once
// What boxes and ellipses share when painting: their pen and brush on the canvas, and fills
// by bitmap and gradient brushes (which paint themselves, clipped to the shape).

#include <cstdint>

#include "canvas/Canvas.h"
#include "canvas/Region.h"

namespace pv::graphics {

class IVexaPanel;
class TBrushProp;
class TPenProp;

// A bitmap or gradient brush: the canvas's brush stays clear and the brush paints the fill.
bool BrushPaintsItself(const TBrushProp& brush);

void SetupPenAndBrush(canvas::Canvas& canvas, TPenProp& pen, TBrushProp& brush, int32_t scale);

// The self-painting brush fills rect clipped to region; the canvas's clip is given back and
// pen and brush are set up again (the fill may have changed them).
void FillWithBrushPainting(canvas::Canvas& canvas, const canvas::Region& region, const canvas::TRect& rect,
                           IVexaPanel& panel, TPenProp& pen, TBrushProp& brush);

// The rectangle a box or ellipse hands to the canvas: without an outline the platform leaves
// the right and bottom edge unfilled, so it grows by one pixel there.
canvas::TRect CanvasShapeRect(const TPenProp& pen, canvas::TRect rect);

// The pen's width in pixels at the scale (0 for an invisible pen).
int32_t PenPixels(const TPenProp& pen, int32_t scale);

}  // namespace pv::graphics
