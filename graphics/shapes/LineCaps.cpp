// Drawing the caps at the open ends of a path.
#include "shapes/LineCaps.h"

#include <algorithm>

namespace pv::graphics {

using namespace pv::canvas;

namespace {

struct OpenFigure {
  size_t first = 0;
  size_t lastNode = 0;
};

// The open figures of a path: a figure runs to its first end node (type 1 open, 2 closed),
// which may be followed by the two control points of a closing curve. Unequal arrays, and a
// tail without an end node, give no figure.
std::vector<OpenFigure> OpenFigures(std::span<const TPoint> points, std::span<const uint8_t> types) {
  std::vector<OpenFigure> figures;
  if (points.size() != types.size()) return figures;
  size_t first = 0;
  for (size_t i = 0; i < types.size(); ++i) {
    if (types[i] != cptEnd && types[i] != cptClosedEnd) continue;
    if (types[i] == cptEnd && i > first) figures.push_back({first, i});
    if (i + 2 < types.size() && types[i + 1] == cptControl) i += 2;
    first = i + 1;
  }
  return figures;
}

// Builds the shape's figures as a canvas path, then strokes and fills it. Kept apart so the
// path walk of the curves can take its place.
void DrawShapeFigures(Canvas& dc, const TCapShape& shape) {
  const auto& p = shape.points;
  const auto& t = shape.types;
  const size_t n = p.size();
  dc.BeginPath();
  size_t start = 0;
  while (start < n) {
    dc.MoveTo(p[start].x, p[start].y);
    size_t i = start;
    size_t next = n;
    while (i < n) {
      const bool curve = i + 2 < n && t[i + 1] == cptControl && t[i + 2] == cptControl;
      if (t[i] == cptEnd) {
        next = i + 1;
        break;
      }
      if (t[i] == cptClosedEnd) {
        if (curve) {
          const TPoint closing[3] = {p[i + 1], p[i + 2], p[start]};
          dc.PolyBezierTo(closing);
        }
        dc.CloseFigure();
        next = curve ? i + 3 : i + 1;
        break;
      }
      if (curve && i + 3 < n) {
        dc.PolyBezierTo(std::span<const TPoint>(p).subspan(i + 1, 3));
        i += 3;
      } else if (i + 1 < n) {
        dc.LineTo(p[i + 1].x, p[i + 1].y);
        ++i;
      } else {
        break;
      }
    }
    start = next;
  }
  dc.EndPath();
  dc.StrokeAndFillPath();
}

void DrawCap(Canvas& dc, int32_t penWidth, const TLineCap& cap, TPoint end, TPoint from) {
  TCapShape shape;
  if (end == from || !GetLineCapShape(cap.style, end, from, cap.size, shape)) return;
  Pen pen;
  pen.style = cap.color == clNone ? PenStyle::Clear : PenStyle::InsideFrame;
  pen.width = std::max(0, penWidth);
  pen.color = cap.color == clNone ? clBlack : cap.color;
  pen.mode = PenMode::Copy;
  Brush brush;
  brush.style = cap.fillColor == clNone ? BrushStyle::Clear : BrushStyle::Solid;
  brush.color = cap.fillColor == clNone ? clWhite : cap.fillColor;
  dc.SetPen(pen);
  dc.SetBrush(brush);
  if (shape.circle) {
    dc.Ellipse(shape.circleBox);
  } else {
    DrawShapeFigures(dc, shape);
  }
}

bool HasCap(const TLineCap& cap) { return cap.style >= -18 && cap.style <= -1; }

}  // namespace

void DrawLineCaps(Canvas& dc, int32_t penWidth, const TLineCap& beginCap, const TLineCap& endCap,
                  std::span<const TPoint> points, std::span<const uint8_t> types) {
  if (!HasCap(beginCap) && !HasCap(endCap)) return;
  const std::vector<OpenFigure> figures = OpenFigures(points, types);
  if (figures.empty()) return;
  const Pen oldPen = dc.GetPen();
  const Brush oldBrush = dc.GetBrush();
  for (const OpenFigure& f : figures) {
    if (HasCap(beginCap)) DrawCap(dc, penWidth, beginCap, points[f.first], points[f.first + 1]);
    if (HasCap(endCap)) DrawCap(dc, penWidth, endCap, points[f.lastNode], points[f.lastNode - 1]);
  }
  dc.SetPen(oldPen);
  dc.SetBrush(oldBrush);
}

}  // namespace pv::graphics
