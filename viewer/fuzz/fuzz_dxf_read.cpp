// Reads arbitrary bytes as a DXF file, answering every prompt with OK, then draws and
// describes what was read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "DXF_read.h"
#include "DXF_structs.h"
#include "Thinkbox.h"
#include "canvas/RecordingCanvas.h"

namespace {

using namespace pv::viewer;

pv::canvas::TPoint Identity(void*, const Point3D& p, const Matrix4x4* m) {
  const Point3D q = m ? DXF_Utils::TransformPoint(*m, p) : p;
  auto clamp = [](double v) {
    if (!(v > -1e6)) return -1000000;
    if (!(v < 1e6)) return 1000000;
    return static_cast<int>(v);
  };
  return {clamp(q.x), clamp(-q.y)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  NullBusyBox busy;
  GoOnPrompts prompts;
  std::vector<std::string> messages;
  DXF_Reader reader(DxfMemorySource(std::string(reinterpret_cast<const char*>(data), size)), busy, prompts);
  reader.SetMessages(&messages);
  reader.ReadDxfFile();
  DXF_Object drawing;
  drawing.AdoptLayers(reader.TakeLayers());
  pv::canvas::RecordingCanvas canvas;
  for (int i = 0; i < drawing.LayerCount(); ++i) {
    DXF_Layer* layer = drawing.Layer(static_cast<size_t>(i));
    for (int j = 0; j < layer->ListCount(); ++j) {
      Entity_List* list = layer->List(static_cast<size_t>(j));
      list->DrawAll(canvas, nullptr, Identity, nullptr);
      list->DrawAllVertices(canvas, nullptr, Identity, nullptr);
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
