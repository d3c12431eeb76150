#include "shapes/ShapeToCurve.h"

#include "controls/CopyToCurve.h"
#include "shapes/VexaCurve.h"

namespace pv::graphics {

TVexaControl* CreateShapeCurve(TVexaControl& shape, const TShapePath& outline) {
  TVexaCurve* curve = TVexaControl::New<TVexaCurve>(shape.Owner(), shape.GetParent(), shape.GetLayer());
  try {
    curve->BeginUpdate();
    CopyControlToCurve(shape, *curve);
    curve->SetPointsEx(outline.points, outline.types);
    curve->EndUpdate();
  } catch (...) {
    curve->Free();
    throw;
  }
  return curve;
}

}  // namespace pv::graphics
