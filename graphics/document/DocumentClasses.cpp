#include "document/DocumentClasses.h"

#include "actions/PanelGroups.h"
#include "controls/ControlClasses.h"
#include "document/Clone.h"
#include "document/Grid.h"
#include "document/Group.h"
#include "document/Schemes.h"

namespace pv::graphics {

void RegisterDocumentClasses() {
  RegisterControlHistoryActions();
  RegisterControlClass(TVexaLayer::ClassInfo);
  RegisterControlClass(TVexaScheme::ClassInfo);
  RegisterControlClass(TVexaControl::ClassInfo);
  RegisterControlClass(TVexaServiceControl::ClassInfo);
  RegisterControlClass(TVexaGroup::ClassInfo);
  RegisterControlClass(TVexaClone::ClassInfo);
}

}  // namespace pv::graphics
