#include "shapes/ShapeClasses.h"

#include "controls/ControlClasses.h"
#include "shapes/VexaPicture.h"
#include "shapes/VexaText.h"

namespace pv::graphics {

void RegisterShapeClasses() {
  // Pictures.
  RegisterControlClass(TVexaPicture::ClassInfo);
  // Texts.
  RegisterControlClass(TVexaText::ClassInfo);
}

}  // namespace pv::graphics
