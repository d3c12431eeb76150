#pragma once
// A control's points in document units, for tests that compare routes and outlines where
// they lie in the document (a control keeps its points relative to its rectangle).

#include <cstdint>
#include <vector>

#include "controls/VexaControl.h"

namespace pv::graphics::test {

inline std::vector<TPoint> DocumentPoints(const TVexaControl& control) {
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  control.GetPointsEx(points, types);
  const TRect r = control.GetDocRect();
  for (TPoint& p : points) p = {p.x + r.left, p.y + r.top};
  return points;
}

}  // namespace pv::graphics::test
