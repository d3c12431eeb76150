#include "paths/PathTypes.h"

namespace pv::graphics {

TPathFigureInfos BuildFigureInfos(std::span<const TPoint> points, std::span<const uint8_t> types) {
  TPathFigureInfos infos;
  if (points.size() != types.size() || points.empty()) return infos;
  const int32_t n = static_cast<int32_t>(types.size());
  infos.pathLength = n;
  int32_t first = 0;
  bool curves = false;
  for (int32_t i = 0; i < n; ++i) {
    const uint8_t type = types[static_cast<size_t>(i)];
    if (type == ptControl) {
      curves = true;
      continue;
    }
    if (type != ptEndNode && type != ptEndNodeClose) continue;
    TPathFigureInfo f{first, i, i, type == ptEndNodeClose, curves};
    if (i + 2 < n && types[static_cast<size_t>(i + 1)] == ptControl) {
      f.hasCurves = true;
      f.last = i + 2;
    }
    infos.anyCurves = infos.anyCurves || f.hasCurves;
    infos.figures.push_back(f);
    i = f.last;
    first = f.last + 1;
    curves = false;
  }
  return infos;
}

int32_t FigureOfPoint(const TPathFigureInfos& infos, int32_t index) {
  for (size_t f = 0; f < infos.figures.size(); ++f) {
    if (index >= infos.figures[f].first && index <= infos.figures[f].last) return static_cast<int32_t>(f);
  }
  return -1;
}

TPointList::TPointList(int32_t capacity) : step_(static_cast<size_t>(capacity > 0 ? capacity : 1)) {
  items_.reserve(step_);
}

void TPointList::Add(int32_t x, int32_t y, uint8_t type) {
  if (items_.size() == items_.capacity()) {
    items_.reserve(items_.capacity() + step_);
    step_ *= 2;
  }
  items_.push_back({x, y, type});
}

}  // namespace pv::graphics
