// Reads arbitrary bytes as a DXF file (answering every prompt with OK) and converts what was
// read into a document, with the fit the viewer computes from the drawing's extents and, from
// the first byte, the grouping flags. A missing block and a drawing too large to convert are
// the import's own errors; anything else escaping, or a sanitizer report, is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "DXF_read.h"
#include "DXF_structs.h"
#include "Thinkbox.h"
#include "VexaDxfImport.h"
#include "canvas/RecordingCanvas.h"
#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "panelwindow/NullPanelWindow.h"

using namespace pv;
using namespace pv::viewer;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = (graphics::RegisterVexaGraphics(), true);
  (void)registered;
  static canvas::RecordingBitmapCanvasFactory factory;
  canvas::SetBitmapCanvasFactory(&factory);
  const uint8_t flags = size > 0 ? data[0] & 0x0F : TVexaDxfImport::kDefaultFlags;
  NullBusyBox busy;
  GoOnPrompts prompts;
  DXF_Reader reader(DxfMemorySource(std::string(reinterpret_cast<const char*>(data), size)), busy, prompts);
  reader.ReadDxfFile();
  DXF_Object drawing("fuzz");
  drawing.AdoptLayers(reader.TakeLayers());
  drawing.SetExtents(reader.ExtMax(), reader.ExtMin());

  panelwindow::TNullPanelWindow window(400, 300, false);
  graphics::TVexaPanel panel(window, true);
  panel.NewDocument();
  TVexaDxfImport importer;
  importer.ImportFlags = flags;
  importer.Fit = ComputeImportFit(400, 300, 20, drawing.GetMaxExtents(), drawing.GetMinExtents());
  try {
    importer.ImportDxfObject(&panel, &drawing);
  } catch (const EDxfImportTooLarge&) {
  } catch (const std::runtime_error& e) {
    if (std::string(e.what()).rfind("Block reference ", 0) != 0) throw;
  }
  return 0;
}
