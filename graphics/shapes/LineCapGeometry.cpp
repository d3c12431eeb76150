// The extent and the figures of every cap style.
#include <algorithm>
#include <cmath>

#include "shapes/LineCaps.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using canvas::TPoint;

namespace {

// Halves to even as the rest of the drawing rounds; absurd sizes clamp instead of failing.
int32_t Round32(double x) { return winmath::RoundHalfEvenClamped(x); }
int32_t Clamp32(int64_t v) { return winmath::ClampToInt32(v); }

bool IsCap(int32_t style) { return style >= -18 && style <= -1; }

// Points of a cap's frame: P(d) lies d back along the line from the end, N(d) is an offset of
// length d across it; both rounded to whole pixels.
class CapFrame {
 public:
  CapFrame(TPoint end, TPoint from) : end_(end) {
    const double dx = static_cast<double>(end.x) - from.x;
    const double dy = static_cast<double>(end.y) - from.y;
    const double length = std::hypot(dx, dy);
    if (length > 0) {
      ux_ = dx / length;
      uy_ = dy / length;
    }
  }
  TPoint P(double d) const { return Add(end_, -d * ux_, -d * uy_); }
  // p + N(d): the offset is rounded on its own, as the point it is added to already is.
  TPoint Across(TPoint p, double d) const { return Add(p, d * uy_, -d * ux_); }
  TPoint End() const { return end_; }

 private:
  static TPoint Add(TPoint p, double dx, double dy) {
    return {Clamp32(int64_t{p.x} + Round32(dx)), Clamp32(int64_t{p.y} + Round32(dy))};
  }
  TPoint end_;
  double ux_ = 0;
  double uy_ = 0;
};

class ShapeBuilder {
 public:
  explicit ShapeBuilder(TCapShape& shape) : shape_(shape) {}
  void Stroke(TPoint a, TPoint b) { Figure({a, b}, false); }
  void Figure(std::initializer_list<TPoint> points, bool closed) {
    for (TPoint p : points) Add(p, cptNode);
    shape_.types.back() = closed ? cptClosedEnd : cptEnd;
  }
  void Add(TPoint p, uint8_t type) {
    shape_.points.push_back(p);
    shape_.types.push_back(type);
  }

 private:
  TCapShape& shape_;
};

// The open arrow strokes from tip to base +/- N(half).
void ArrowStrokes(ShapeBuilder& b, const CapFrame& f, TPoint tip, TPoint base, double half) {
  b.Stroke(tip, f.Across(base, half));
  b.Stroke(tip, f.Across(base, -half));
}

void ClosedTriangle(ShapeBuilder& b, const CapFrame& f, TPoint tip, TPoint base, double half) {
  b.Figure({tip, f.Across(base, half), f.Across(base, -half)}, true);
}

// Filled concave arrow: a straight back edge from the tip to both barbs, and two Bezier
// curves that bow the base in towards the tip.
void ConcaveArrow(ShapeBuilder& b, const CapFrame& f, double a, double h) {
  const TPoint r = f.P(a);
  const TPoint p = f.P(a - 0.0731 * a);
  const TPoint l = f.P(a - 0.1144 * a);
  b.Add(f.End(), cptNode);
  b.Add(f.Across(r, h), cptNode);
  b.Add(f.Across(p, 0.4 * a), cptControl);
  b.Add(f.Across(l, 0.1875 * a), cptControl);
  b.Add(l, cptNode);
  b.Add(f.Across(l, -0.1875 * a), cptControl);
  b.Add(f.Across(p, -0.4 * a), cptControl);
  b.Add(f.Across(r, -h), cptClosedEnd);
}

// A circle as four Bezier quarters, closed by the last of them.
void CircleFigure(ShapeBuilder& b, TPoint c, int32_t radius) {
  const double k = 0.55228474983 * radius;
  const auto at = [&](double dx, double dy) {
    return TPoint{Clamp32(int64_t{c.x} + Round32(dx)), Clamp32(int64_t{c.y} + Round32(dy))};
  };
  const double r = radius;
  b.Add(at(r, 0), cptNode);
  b.Add(at(r, -k), cptControl);
  b.Add(at(k, -r), cptControl);
  b.Add(at(0, -r), cptNode);
  b.Add(at(-k, -r), cptControl);
  b.Add(at(-r, -k), cptControl);
  b.Add(at(-r, 0), cptNode);
  b.Add(at(-r, k), cptControl);
  b.Add(at(-k, r), cptControl);
  b.Add(at(0, r), cptClosedEnd);
  b.Add(at(k, r), cptControl);
  b.Add(at(r, k), cptControl);
}

}  // namespace

bool GetLineCapInfo(int32_t style, int32_t size, TLineCapInfo& info) {
  info = {};
  if (!IsCap(style)) return false;
  const int32_t a = std::max(0, size);
  const int32_t h = a / 2;
  const int32_t q = a / 4;
  info.size = a;
  info.top = -h;
  info.bottom = h;
  switch (style) {
    case -1: info.left = -h; break;
    case -2: case -5: info.left = -a; break;
    case -3: info.right = h; break;
    case -4: info.left = -h; info.right = h; break;
    // The second arrow of -6 lies 0.7 a behind the first, so its base is 1.7 a back.
    case -6: info.left = -Round32(1.7 * a); break;
    case -7: info.right = a; break;
    // The second pair of -8 starts 0.7 a back, behind the strokes of -7.
    case -8: info.left = std::min(-h, -Round32(0.7 * a)); info.right = a; break;
    case -9: case -10: case -11: case -12: case -13: case -18: info.offset = a; info.left = -a; break;
    case -14: case -15: case -17: info.offset = h; info.left = -h; info.right = h; break;
    case -16: info.offset = q; info.left = -q; info.right = q; info.top = -q; info.bottom = q; break;
    default: break;
  }
  return true;
}

bool GetLineCapShape(int32_t style, TPoint end, TPoint from, int32_t size, TCapShape& shape) {
  shape = {};
  if (!IsCap(style)) return false;
  const CapFrame f(end, from);
  ShapeBuilder b(shape);
  const double a = std::max(0, size);
  const double h = std::max(0, size) / 2;
  const TPoint e = f.End();
  switch (style) {
    case -1: ArrowStrokes(b, f, e, f.P(h), h); break;
    case -2:
      ArrowStrokes(b, f, e, f.P(h), h);
      ArrowStrokes(b, f, f.P(h), f.P(a), h);
      break;
    case -3: ArrowStrokes(b, f, e, f.P(-h), h); break;
    case -4:
      ArrowStrokes(b, f, e, f.P(-h), h);
      ArrowStrokes(b, f, f.P(h), e, h);
      break;
    case -5: ArrowStrokes(b, f, e, f.P(a), h); break;
    case -6:
      ArrowStrokes(b, f, e, f.P(a), h);
      ArrowStrokes(b, f, f.P(0.7 * a), f.P(1.7 * a), h);
      break;
    case -7: ArrowStrokes(b, f, e, f.P(-a), h); break;
    case -8:
      ArrowStrokes(b, f, e, f.P(-a), h);
      ArrowStrokes(b, f, f.P(0.7 * a), f.P(-0.3 * a), h);
      break;
    case -9: ConcaveArrow(b, f, a, h); break;
    case -10: ClosedTriangle(b, f, e, f.P(a), h); break;
    case -11:
      ClosedTriangle(b, f, e, f.P(h), h);
      ClosedTriangle(b, f, f.P(h), f.P(a), h);
      break;
    case -12: ClosedTriangle(b, f, f.P(a), e, h); break;
    case -13:
      ClosedTriangle(b, f, f.P(h), e, h);
      ClosedTriangle(b, f, f.P(a), f.P(h), h);
      break;
    case -14:
      b.Figure({f.Across(f.P(h), h), f.Across(f.P(-h), h), f.Across(f.P(-h), -h), f.Across(f.P(h), -h)}, true);
      break;
    case -15: case -16: {
      const int32_t radius = std::max(0, size) / (style == -15 ? 2 : 4);
      CircleFigure(b, e, radius);
      shape.circle = true;
      shape.circleBox = {Clamp32(int64_t{e.x} - radius), Clamp32(int64_t{e.y} - radius),
                         Clamp32(int64_t{e.x} + radius + 1), Clamp32(int64_t{e.y} + radius + 1)};
      break;
    }
    case -17: b.Figure({f.P(h), f.Across(e, h), f.P(-h), f.Across(e, -h)}, true); break;
    case -18:
      b.Figure({f.Across(f.P(a / 3), h), f.Across(e, h), f.Across(e, -h), f.Across(f.P(a / 3), -h)}, false);
      break;
    default: break;
  }
  return true;
}

}  // namespace pv::graphics
