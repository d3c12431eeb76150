// A second drawing merged into the first, both read from arbitrary bytes (the first four bytes
// say where the first file ends). Every entity arrives in the first drawing, the second keeps
// only empty lists, and the merged drawing draws with the second one gone: nothing in it may
// point into the drawing it came from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "FuzzDrawing.h"

namespace {

using namespace pv::viewer;
using fuzz::ClampedProjection;
using fuzz::ReadDrawing;

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
  std::unique_ptr<DXF_Object> first = ReadDrawing(std::string(text, split), "first");
  std::unique_ptr<DXF_Object> second = ReadDrawing(std::string(text + split, rest - split), "second");
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
      list->DrawAll(canvas, nullptr, ClampedProjection, nullptr);
      canvas.Clear();
    }
  }
  first->RemoveEmptyLayers();
  return 0;
}
