// A second drawing merged into the first, both read from arbitrary bytes (the first four bytes
// say where the first file ends). Every entity arrives in the first drawing, the second keeps
// only empty lists, and the merged drawing draws with the second one gone: nothing in it may
// point into the drawing it came from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
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

std::unique_ptr<DXF_Object> Read(std::string text, const char* name) {
  NullBusyBox busy;
  GoOnPrompts prompts;
  std::vector<std::string> messages;
  DXF_Reader reader(DxfMemorySource(std::move(text)), busy, prompts);
  reader.SetMessages(&messages);
  reader.ReadDxfFile();
  auto drawing = std::make_unique<DXF_Object>(name);
  drawing->AdoptLayers(reader.TakeLayers());
  return drawing;
}

size_t EntityCount(const DXF_Object& drawing) {
  size_t count = 0;
  for (int i = 0; i < drawing.LayerCount(); ++i) {
    DXF_Layer* layer = drawing.Layer(static_cast<size_t>(i));
    for (int j = 0; j < layer->ListCount(); ++j) count += layer->List(static_cast<size_t>(j))->Count();
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const size_t rest = size - 4;
  const size_t split = (size_t(data[0]) << 24 | size_t(data[1]) << 16 | size_t(data[2]) << 8 | data[3]) % (rest + 1);
  const char* text = reinterpret_cast<const char*>(data + 4);
  std::unique_ptr<DXF_Object> first = Read(std::string(text, split), "first");
  std::unique_ptr<DXF_Object> second = Read(std::string(text + split, rest - split), "second");
  const size_t total = EntityCount(*first) + EntityCount(*second);
  first->Merge(*second);
  if (EntityCount(*second) != 0) std::abort();
  if (EntityCount(*first) != total) std::abort();
  second.reset();
  pv::canvas::RecordingCanvas canvas;
  for (int i = 0; i < first->LayerCount(); ++i) {
    DXF_Layer* layer = first->Layer(static_cast<size_t>(i));
    for (int j = 0; j < layer->ListCount(); ++j) {
      Entity_List* list = layer->List(static_cast<size_t>(j));
      list->DrawAll(canvas, nullptr, Identity, nullptr);
      canvas.Clear();
    }
  }
  first->RemoveEmptyLayers();
  return 0;
}
