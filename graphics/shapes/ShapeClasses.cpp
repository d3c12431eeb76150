#include "shapes/ShapeClasses.h"

#include "controls/ControlClasses.h"
#include "document/DocumentClasses.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaCurve.h"
#include "shapes/VexaEllipse.h"
#include "shapes/VexaPicture.h"
#include "shapes/VexaText.h"

namespace pv::graphics {

void RegisterShapeClasses() {
  RegisterDocumentClasses();
  RegisterControlClass(TVexaBox::ClassInfo);
  RegisterControlClass(TVexaEllipse::ClassInfo);
  RegisterControlClass(TVexaArc::ClassInfo);
  RegisterControlClass(TVexaPicture::ClassInfo);
  RegisterControlClass(TVexaText::ClassInfo);
  RegisterControlClass(TVexaCurve::ClassInfo);
}

}  // namespace pv::graphics
