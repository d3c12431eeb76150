#include "panel/VexaGraphics.h"

#include "connectors/VexaConnector.h"

namespace pv::graphics {

// Each registration brings in the one it builds on: the connector the shapes, the shapes the
// document classes, those the control and panel history actions, those the property and core
// history actions.
void RegisterVexaGraphics() { RegisterConnectorClasses(); }

}  // namespace pv::graphics
