#include "shapes/ShapeClasses.h"

#include "controls/ControlClasses.h"
#include "shapes/VexaText.h"

namespace pv::graphics {

void RegisterShapeClasses() {
  // Texts.
  RegisterControlClass(TVexaText::ClassInfo);
}

}  // namespace pv::graphics
