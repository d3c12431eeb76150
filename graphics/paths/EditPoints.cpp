#include "paths/EditPoints.h"

#include <algorithm>

namespace pv::graphics {

namespace {

bool IsSelected(std::span<const uint8_t> selected, int32_t i) {
  return i >= 0 && static_cast<size_t>(i) < selected.size() && selected[static_cast<size_t>(i)] != 0;
}

// One figure taken out of the arrays, with its points' selection.
struct Figure {
  TPointArray points;
  TTypeArray types;
  std::vector<uint8_t> selected;
  bool closed = false;
};

struct Layout {
  TPathFigureInfos infos;
  std::vector<int32_t> nodes;  // the selected nodes (not control points), in order
};

Layout Examine(std::span<const TPoint> points, std::span<const uint8_t> types, std::span<const uint8_t> selected) {
  Layout layout;
  layout.infos = BuildFigureInfos(points, types);
  for (int32_t i = 0; i < static_cast<int32_t>(types.size()); ++i) {
    if (IsSelected(selected, i) && types[static_cast<size_t>(i)] != ptControl) layout.nodes.push_back(i);
  }
  return layout;
}

const TPathFigureInfo* FigureOf(const TPathFigureInfos& infos, int32_t i) {
  const int32_t f = FigureOfPoint(infos, i);
  return f < 0 ? nullptr : &infos.figures[static_cast<size_t>(f)];
}

bool IsOpenEnd(const TPathFigureInfos& infos, int32_t i) {
  const TPathFigureInfo* f = FigureOf(infos, i);
  return f && !f->closed && (i == f->first || i == f->lastNode);
}

int32_t NodeCount(std::span<const uint8_t> types, const TPathFigureInfo& f) {
  int32_t count = 0;
  for (int32_t i = f.first; i <= f.lastNode; ++i) count += types[static_cast<size_t>(i)] != ptControl;
  return count;
}

// Whether node i starts a segment, and whether that segment is a curve.
bool StartsSegment(const TPathFigureInfo& f, int32_t i) { return f.closed ? i <= f.lastNode : i < f.lastNode; }
bool StartsCurve(std::span<const uint8_t> types, const TPathFigureInfo& f, int32_t i) {
  return StartsSegment(f, i) && i + 2 <= f.last && types[static_cast<size_t>(i + 1)] == ptControl &&
         types[static_cast<size_t>(i + 2)] == ptControl;
}

bool Breakable(const TPathFigureInfos& infos, std::span<const uint8_t> types, int32_t i) {
  const TPathFigureInfo* f = FigureOf(infos, i);
  return f && types[static_cast<size_t>(i)] == ptNode && !(!f->closed && i == f->first);
}

// Two selected nodes that are ends of open figures and can be joined or connected.
bool EndsPair(const Layout& layout, std::span<const uint8_t> types, int32_t minNodes) {
  if (layout.nodes.size() != 2) return false;
  const int32_t a = layout.nodes[0];
  const int32_t b = layout.nodes[1];
  if (!IsOpenEnd(layout.infos, a) || !IsOpenEnd(layout.infos, b)) return false;
  const TPathFigureInfo* fa = FigureOf(layout.infos, a);
  if (fa != FigureOf(layout.infos, b)) return true;
  return a == fa->first && b == fa->lastNode && NodeCount(types, *fa) >= minNodes;
}

TPoint Midpoint(TPoint a, TPoint b) { return {a.x + (b.x - a.x) / 2, a.y + (b.y - a.y) / 2}; }

// Node types in order: every node 0, the last one the figure's end.
void SetEndTypes(Figure& f) {
  for (auto& t : f.types) {
    if (t != ptControl) t = ptNode;
  }
  for (size_t i = f.types.size(); i-- > 0;) {
    if (f.types[i] != ptControl) {
      f.types[i] = f.closed ? ptEndNodeClose : ptEndNode;
      break;
    }
  }
}

Figure Extract(std::span<const TPoint> points, std::span<const uint8_t> types, std::span<const uint8_t> selected,
               const TPathFigureInfo& info, bool withClosingControls) {
  Figure f;
  f.closed = info.closed;
  const int32_t last = withClosingControls ? info.last : info.lastNode;
  for (int32_t i = info.first; i <= last; ++i) {
    f.points.push_back(points[static_cast<size_t>(i)]);
    f.types.push_back(types[static_cast<size_t>(i)]);
    f.selected.push_back(IsSelected(selected, i) ? 1 : 0);
  }
  return f;
}

void Reverse(Figure& f) {
  std::reverse(f.points.begin(), f.points.end());
  std::reverse(f.types.begin(), f.types.end());
  std::reverse(f.selected.begin(), f.selected.end());
  SetEndTypes(f);
}

void Append(Figure& to, const Figure& from, size_t skip) {
  to.points.insert(to.points.end(), from.points.begin() + static_cast<std::ptrdiff_t>(skip), from.points.end());
  to.types.insert(to.types.end(), from.types.begin() + static_cast<std::ptrdiff_t>(skip), from.types.end());
  to.selected.insert(to.selected.end(), from.selected.begin() + static_cast<std::ptrdiff_t>(skip), from.selected.end());
}

// The path as figures plus whatever follows the last figure's end.
struct Split {
  std::vector<Figure> figures;
  Figure tail;
};

Split SplitPath(std::span<const TPoint> points, std::span<const uint8_t> types, std::span<const uint8_t> selected,
                const TPathFigureInfos& infos) {
  Split split;
  int32_t next = 0;
  for (const TPathFigureInfo& info : infos.figures) {
    split.figures.push_back(Extract(points, types, selected, info, true));
    next = info.last + 1;
  }
  for (int32_t i = next; i < static_cast<int32_t>(points.size()); ++i) {
    split.tail.points.push_back(points[static_cast<size_t>(i)]);
    split.tail.types.push_back(types[static_cast<size_t>(i)]);
    split.tail.selected.push_back(0);
  }
  return split;
}

void Join(const Split& split, TPointArray& points, TTypeArray& types) {
  points.clear();
  types.clear();
  for (const Figure& f : split.figures) {
    points.insert(points.end(), f.points.begin(), f.points.end());
    types.insert(types.end(), f.types.begin(), f.types.end());
  }
  points.insert(points.end(), split.tail.points.begin(), split.tail.points.end());
  types.insert(types.end(), split.tail.types.begin(), split.tail.types.end());
}

// Joins (merge) or connects the two selected end nodes.
bool JoinEnds(TPointArray& points, TTypeArray& types, std::span<const uint8_t> selected, const Layout& layout,
              bool merge) {
  const int32_t a = layout.nodes[0];
  const int32_t b = layout.nodes[1];
  const int32_t fa = FigureOfPoint(layout.infos, a);
  const int32_t fb = FigureOfPoint(layout.infos, b);
  Split split = SplitPath(points, types, selected, layout.infos);
  if (fa == fb) {
    const TPathFigureInfo& info = layout.infos.figures[static_cast<size_t>(fa)];
    Figure f = Extract(points, types, selected, info, false);  // an open end's stray controls go
    f.closed = true;
    if (merge) {
      f.points.front() = Midpoint(f.points.front(), f.points.back());
      f.points.pop_back();
      f.types.pop_back();
      f.selected.pop_back();
      // The segment into the removed node, when a curve, now closes the figure: its control
      // points follow the new last node.
    }
    SetEndTypes(f);
    split.figures[static_cast<size_t>(fa)] = std::move(f);
    Join(split, points, types);
    return true;
  }
  const TPathFigureInfo& ia = layout.infos.figures[static_cast<size_t>(fa)];
  const TPathFigureInfo& ib = layout.infos.figures[static_cast<size_t>(fb)];
  Figure first = Extract(points, types, selected, ia, false);
  Figure second = Extract(points, types, selected, ib, false);
  if (a == ia.first) Reverse(first);   // the first figure must end at its selected node
  if (b == ib.lastNode) Reverse(second);  // the second must start at its one
  if (merge) {
    first.points.back() = Midpoint(first.points.back(), second.points.front());
    Append(first, second, 1);
  } else {
    Append(first, second, 0);
  }
  first.closed = false;
  SetEndTypes(first);
  split.figures[static_cast<size_t>(fa)] = std::move(first);
  split.figures.erase(split.figures.begin() + fb);
  Join(split, points, types);
  return true;
}

// Breaks a figure at its selected inside nodes into open figures.
std::vector<Figure> BreakFigure(Figure f, const std::vector<bool>& breakAt) {
  std::vector<bool> marks = breakAt;
  if (f.closed) {
    const auto first = std::find(marks.begin(), marks.end(), true);
    if (first == marks.end()) return {std::move(f)};
    const size_t j = static_cast<size_t>(first - marks.begin());
    // Open it at the first break, starting there and ending at a copy of that node.
    std::rotate(f.points.begin(), f.points.begin() + static_cast<std::ptrdiff_t>(j), f.points.end());
    std::rotate(f.types.begin(), f.types.begin() + static_cast<std::ptrdiff_t>(j), f.types.end());
    std::rotate(marks.begin(), marks.begin() + static_cast<std::ptrdiff_t>(j), marks.end());
    f.points.push_back(f.points.front());
    f.types.push_back(ptNode);
    marks.push_back(false);
    marks.front() = false;
    f.closed = false;
  }
  std::vector<Figure> out(1);
  for (size_t i = 0; i < f.points.size(); ++i) {
    out.back().points.push_back(f.points[i]);
    out.back().types.push_back(f.types[i]);
    if (marks[i] && i + 1 < f.points.size()) {
      SetEndTypes(out.back());
      out.emplace_back();
      out.back().points.push_back(f.points[i]);
      out.back().types.push_back(ptNode);
    }
  }
  SetEndTypes(out.back());
  return out;
}

bool BreakNodes(TPointArray& points, TTypeArray& types, std::span<const uint8_t> selected, const Layout& layout) {
  Split split = SplitPath(points, types, selected, layout.infos);
  std::vector<Figure> result;
  for (size_t fi = 0; fi < split.figures.size(); ++fi) {
    const TPathFigureInfo& info = layout.infos.figures[fi];
    std::vector<bool> marks;
    for (int32_t i = info.first; i <= info.last; ++i) {
      marks.push_back(IsSelected(selected, i) && Breakable(layout.infos, types, i));
    }
    for (Figure& part : BreakFigure(std::move(split.figures[fi]), marks)) {
      part.selected.assign(part.points.size(), 0);
      result.push_back(std::move(part));
    }
  }
  split.figures = std::move(result);
  Join(split, points, types);
  return true;
}

bool MovePoints(TPointArray& points, std::span<const uint8_t> types, std::span<const uint8_t> selected,
                const TEditPointsOffset& offset, const TPathFigureInfos& infos) {
  if (offset.dx == 0 && offset.dy == 0) return false;
  std::vector<bool> move(points.size(), false);
  for (size_t i = 0; i < points.size(); ++i) move[i] = IsSelected(selected, static_cast<int32_t>(i));
  if (offset.follow) {
    for (const TPathFigureInfo& f : infos.figures) {
      for (int32_t i = f.first; i <= f.lastNode; ++i) {
        if (types[static_cast<size_t>(i)] == ptControl || !IsSelected(selected, i)) continue;
        if (StartsCurve(types, f, i)) move[static_cast<size_t>(i + 1)] = true;
        // The second control point of the curve that ends here.
        if (i > f.first && types[static_cast<size_t>(i - 1)] == ptControl) move[static_cast<size_t>(i - 1)] = true;
        if (i == f.first && f.closed && f.last == f.lastNode + 2) move[static_cast<size_t>(f.last)] = true;
      }
    }
  }
  bool moved = false;
  for (size_t i = 0; i < points.size(); ++i) {
    if (!move[i]) continue;
    points[i].x += offset.dx;
    points[i].y += offset.dy;
    moved = true;
  }
  return moved;
}

bool CurvesToLines(TPointArray& points, TTypeArray& types, const Layout& layout) {
  bool changed = false;
  for (auto it = layout.nodes.rbegin(); it != layout.nodes.rend(); ++it) {
    const TPathFigureInfo* f = FigureOf(layout.infos, *it);
    if (!f || !StartsCurve(types, *f, *it)) continue;
    points.erase(points.begin() + *it + 1, points.begin() + *it + 3);
    types.erase(types.begin() + *it + 1, types.begin() + *it + 3);
    changed = true;
  }
  return changed;
}

bool LinesToCurves(TPointArray& points, TTypeArray& types, const Layout& layout) {
  bool changed = false;
  for (auto it = layout.nodes.rbegin(); it != layout.nodes.rend(); ++it) {
    const int32_t s = *it;
    const TPathFigureInfo* f = FigureOf(layout.infos, s);
    if (!f || !StartsSegment(*f, s) || StartsCurve(types, *f, s)) continue;
    const TPoint a = points[static_cast<size_t>(s)];
    const TPoint b = points[static_cast<size_t>(s == f->lastNode ? f->first : s + 1)];
    const TPoint c1{a.x + (b.x - a.x) / 3, a.y + (b.y - a.y) / 3};
    const TPoint c2{a.x + (b.x - a.x) * 2 / 3, a.y + (b.y - a.y) * 2 / 3};
    points.insert(points.begin() + s + 1, {c1, c2});
    types.insert(types.begin() + s + 1, {ptControl, ptControl});
    changed = true;
  }
  return changed;
}

}  // namespace

uint32_t GetEditPointsCaps(std::span<const TPoint> points, std::span<const uint8_t> types,
                           std::span<const uint8_t> selected) {
  if (points.size() != types.size() || points.empty()) return 0;
  const Layout layout = Examine(points, types, selected);
  uint32_t caps = 0;
  for (size_t i = 0; i < types.size(); ++i) {
    if (IsSelected(selected, static_cast<int32_t>(i))) caps |= 1u << epMove;
  }
  if (EndsPair(layout, types, 3)) caps |= 1u << epJoin;
  if (EndsPair(layout, types, 2)) caps |= 1u << epConnect;
  for (int32_t i : layout.nodes) {
    const TPathFigureInfo* f = FigureOf(layout.infos, i);
    if (!f) continue;
    if (Breakable(layout.infos, types, i)) caps |= 1u << epBreak;
    if (StartsCurve(types, *f, i)) {
      caps |= 1u << epCurvesToLines;
    } else if (StartsSegment(*f, i)) {
      caps |= 1u << epLinesToCurves;
    }
  }
  return caps;
}

bool EditPoints(TPointArray& points, TTypeArray& types, std::span<const uint8_t> selected,
                const TEditPointsOffset& offset, int32_t operation) {
  if (operation < epMove || operation > epLinesToCurves) return false;
  if (!(GetEditPointsCaps(points, types, selected) & (1u << operation))) return false;
  const Layout layout = Examine(points, types, selected);
  switch (operation) {
    case epMove: return MovePoints(points, types, selected, offset, layout.infos);
    case epJoin: return JoinEnds(points, types, selected, layout, true);
    case epBreak: return BreakNodes(points, types, selected, layout);
    case epConnect: return JoinEnds(points, types, selected, layout, false);
    case epCurvesToLines: return CurvesToLines(points, types, layout);
    case epLinesToCurves: return LinesToCurves(points, types, layout);
  }
  return false;
}

}  // namespace pv::graphics
