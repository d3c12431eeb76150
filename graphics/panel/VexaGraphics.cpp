#include "panel/VexaGraphics.h"

#include "clipboard/Clipboard.h"
#include "connectors/VexaConnector.h"
#include "picture/Picture.h"

namespace pv::graphics {

namespace {
std::string controlsMime;
}  // namespace

// Each registration brings in the one it builds on: the connector the shapes, the shapes the
// document classes, those the control and panel history actions, those the property and core
// history actions.
void RegisterVexaGraphics() {
  RegisterConnectorClasses();
  // Pictures in documents and on the clipboard are streamed by the kind's class name.
  picture::RegisterStandardGraphics();
  controlsMime = clipboard::RegisterClipboardFormat(kVexaControlsFormat);
}

const std::string& VexaControlsMime() { return controlsMime; }

}  // namespace pv::graphics
