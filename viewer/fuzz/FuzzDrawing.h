#pragma once
// What the DXF fuzzers share: a drawing read from arbitrary bytes with every prompt answered
// OK, and a projection that keeps any coordinate within the canvas' integer range.
#include <memory>
#include <string>
#include <vector>

#include "DXF_read.h"
#include "DXF_structs.h"
#include "Thinkbox.h"
#include "canvas/RecordingCanvas.h"

namespace pv::viewer::fuzz {

inline pv::canvas::TPoint ClampedProjection(void*, const Point3D& p, const Matrix4x4* m) {
  const Point3D q = m ? DXF_Utils::TransformPoint(*m, p) : p;
  auto clamp = [](double v) {
    if (!(v > -1e6)) return -1000000;
    if (!(v < 1e6)) return 1000000;
    return static_cast<int>(v);
  };
  return {clamp(q.x), clamp(-q.y)};
}

inline std::unique_ptr<DXF_Object> ReadDrawing(std::string text, const char* name = "Untitled") {
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

}  // namespace pv::viewer::fuzz
