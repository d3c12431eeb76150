#pragma once
// What boxes and ellipses share: their pen and brush on the canvas, fills by bitmap and
// gradient brushes (which paint themselves, clipped to the shape), and the conversion of a
// shape's outline into a new curve.

#include <cstdint>

#include "canvas/Canvas.h"
#include "shapes/ShapePaths.h"

namespace pv::graphics {

class IVexaPanel;
class TBrushProp;
class TPenProp;
class TVexaControl;

// A bitmap or gradient brush: the canvas's brush stays clear and the brush paints the fill.
bool BrushPaintsItself(const TBrushProp& brush);

void SetupPenAndBrush(canvas::Canvas& canvas, TPenProp& pen, TBrushProp& brush, int32_t scale);

// The self-painting brush fills rect clipped to region; the canvas's clip is given back and
// pen and brush are set up again (the fill may have changed them).
void FillWithBrushPainting(canvas::Canvas& canvas, const canvas::Region& region, const canvas::TRect& rect,
                           IVexaPanel& panel, TPenProp& pen, TBrushProp& brush);

// The pen's width in pixels at the scale (0 for an invisible pen).
int32_t PenPixels(const TPenProp& pen, int32_t scale);

// A new curve in the shape's panel, parent and layer with the shape's look and the outline
// (relative to the shape). On an error the curve is freed and the error passes on.
TVexaControl* CreateShapeCurve(TVexaControl& shape, const TShapePath& outline);

}  // namespace pv::graphics
