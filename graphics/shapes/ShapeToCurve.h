#pragma once
// A shape converted into a curve: what boxes, ellipses and arcs give for CreateCurveControl.

#include "shapes/ShapePaths.h"

namespace pv::graphics {

class TVexaControl;

// A new curve in the shape's panel, parent and layer with the shape's look and the outline
// (relative to the shape). On an error the curve is freed and the error passes on.
TVexaControl* CreateShapeCurve(TVexaControl& shape, const TShapePath& outline);

}  // namespace pv::graphics
