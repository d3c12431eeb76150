// A curve's two binary values read from arbitrary bytes. A value either is refused with the
// curve unchanged, or is taken whole: the curve then paints, hit tests, writes the same bytes
// back (PathPoints) and reads its own document text to the same text.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "canvas/RecordingCanvas.h"
#include "document/testing/TestVexaPanel.h"
#include "shapes/CurvePoints.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaCurve.h"

using namespace pv::graphics;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void Exercise(const std::vector<uint8_t>& bytes, const char* property) {
  test::TTestVexaPanel panel;
  panel.NewDocument();
  auto* curve = TVexaControl::New<TVexaCurve>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  curve->SetName("c");
  curve->SetPointsEx({{0, 0}, {1000, 2000}}, {ptNode, ptEndNode});
  const std::string before = panel.SaveText();
  curve->Props().PropByName(property)->SetPropValue("", PropValue::Bytes(bytes));
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  curve->GetPointsEx(points, types);
  TPointArray decoded;
  TTypeArray decodedTypes;
  const bool valid = std::string(property) == "PathPoints" ? DecodePathPoints(bytes, decoded, decodedTypes)
                                                           : DecodeOldPoints(bytes, false, decoded, decodedTypes);
  if (!valid || decoded.empty()) {
    Check(panel.SaveText() == before);
    return;
  }
  Check(types == decodedTypes);
  Check(IsValidCurvePath(points, types));
  pv::canvas::RecordingCanvas canvas({64, 64});
  curve->Paint(canvas, {0, 0, 64, 64});
  curve->IsPointInside(3, 3);
  curve->GetRefreshRect(curve->GetLeft(), curve->GetTop());
  const std::string text = panel.SaveText();
  test::TTestVexaPanel again;
  again.LoadText(text);
  Check(again.SaveText() == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegisterShapeClasses();
  const std::vector<uint8_t> bytes(data, data + size);
  TPointArray points;
  TTypeArray types;
  if (DecodePathPoints(bytes, points, types)) Check(EncodePathPoints(points, types) == bytes);
  DecodeOldPoints(bytes, true, points, types);
  Exercise(bytes, "PathPoints");
  Exercise(bytes, "Points");
  return 0;
}
