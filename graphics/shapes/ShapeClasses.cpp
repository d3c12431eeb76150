#include "shapes/ShapeClasses.h"

#include "controls/ControlClasses.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaEllipse.h"

namespace pv::graphics {

void RegisterShapeClasses() {
  RegisterControlClass(TVexaBox::ClassInfo);
  RegisterControlClass(TVexaEllipse::ClassInfo);
  RegisterControlClass(TVexaArc::ClassInfo);
}

}  // namespace pv::graphics
