#include "shapes/ShapeClasses.h"

#include "controls/ControlClasses.h"
#include "document/DocumentClasses.h"
#include "shapes/VexaCurve.h"

namespace pv::graphics {

void RegisterShapeClasses() {
  RegisterDocumentClasses();
  RegisterControlClass(TVexaCurve::ClassInfo);
}

}  // namespace pv::graphics
