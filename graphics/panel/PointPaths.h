#pragma once
// What the point tool reads of a path, shared by the point-editing model, its gestures and
// the painting of the markers: the figures of a control's points, whether a Ctrl-click at a
// point closes its figure, and the marker square of a point.

#include <cstdint>
#include <vector>

#include "controls/VexaControl.h"
#include "paths/PathTypes.h"

namespace pv::graphics::pointedit {

// The 5 x 5 marker square of a point at client pixel p.
inline TRect MarkRect(TPoint p) { return {p.x - 2, p.y - 2, p.x + 3, p.y + 3}; }

// The points the point tool edits, with their types, relative to the control. Asked point by
// point: a shape whose points are handles of its own (an arc's two ends) keeps no arrays.
inline void EditedPoints(const TVexaControl& control, std::vector<TPoint>& points, std::vector<uint8_t>& types) {
  const int n = control.GetPointsCount();
  points.resize(static_cast<size_t>(n));
  types.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    points[static_cast<size_t>(i)] = control.GetPoint(i);
    types[static_cast<size_t>(i)] = control.GetPointType(i);
  }
}

// The figures of a control's path, from its own record when it keeps one.
inline TPathFigureInfos FiguresOf(const TVexaControl& control, std::vector<TPoint>& points,
                                  std::vector<uint8_t>& types) {
  EditedPoints(control, points, types);
  if (const TPathFigureInfos* infos = control.GetPathInfo()) return *infos;
  return BuildFigureInfos(points, types);
}

// Closing an open figure at an end needs a figure worth closing: three nodes or more, and a
// control that is not a connector.
inline bool ClosesFigureAt(const TVexaControl& control, int index) {
  if (index < 0 || control.IsConnector()) return false;
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  const TPathFigureInfos infos = FiguresOf(control, points, types);
  const int32_t figure = FigureOfPoint(infos, index);
  if (figure < 0) return false;
  const TPathFigureInfo& f = infos.figures[static_cast<size_t>(figure)];
  if (f.closed || (index != f.first && index != f.lastNode)) return false;
  int nodes = 0;
  for (int32_t i = f.first; i <= f.lastNode; ++i) nodes += types[static_cast<size_t>(i)] != ptControl ? 1 : 0;
  return nodes >= 3;
}

}  // namespace pv::graphics::pointedit
