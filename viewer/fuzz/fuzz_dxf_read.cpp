// Reads arbitrary bytes as a DXF file, answering every prompt with OK, then draws and
// describes what was read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzDrawing.h"

using namespace pv::viewer;
using pv::viewer::fuzz::ClampedProjection;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::unique_ptr<DXF_Object> read = fuzz::ReadDrawing(std::string(reinterpret_cast<const char*>(data), size));
  DXF_Object& drawing = *read;
  pv::canvas::RecordingCanvas canvas;
  for (int i = 0; i < drawing.LayerCount(); ++i) {
    DXF_Layer* layer = drawing.Layer(static_cast<size_t>(i));
    for (int j = 0; j < layer->ListCount(); ++j) {
      Entity_List* list = layer->List(static_cast<size_t>(j));
      list->DrawAll(canvas, nullptr, ClampedProjection, nullptr);
      list->DrawAllVertices(canvas, nullptr, ClampedProjection, nullptr);
      for (const auto& e : list->Entities()) {
        try {
          (void)e->Details();
        } catch (const std::runtime_error&) {
          // an insert of an unnamed block has no details
        }
      }
      canvas.Clear();
    }
  }
  return 0;
}
